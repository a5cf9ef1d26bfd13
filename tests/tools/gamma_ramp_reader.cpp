// Prints the primary display's gamma ramp as GetDeviceGammaRamp gives it, for
// the loader checks, which must not read it back through the tool they test:
// {"size":256,"red":[...],"green":[...],"blue":[...]}. Exits 1 when the ramp
// cannot be read.
#include <windows.h>

#include <cstdio>

int main() {
    static WORD ramp[3][256];
    HDC screen = GetDC(nullptr);
    const BOOL read = screen != nullptr && GetDeviceGammaRamp(screen, ramp);
    if (screen != nullptr) {
        ReleaseDC(nullptr, screen);
    }
    if (!read) {
        std::fprintf(stderr, "GetDeviceGammaRamp failed (%lu)\n", GetLastError());
        return 1;
    }
    std::printf("{\"size\":256");
    const char* const names[3] = {"red", "green", "blue"};
    for (int c = 0; c < 3; ++c) {
        std::printf(",\"%s\":[", names[c]);
        for (int i = 0; i < 256; ++i) {
            std::printf(i == 0 ? "%u" : ",%u", ramp[c][i]);
        }
        std::printf("]");
    }
    std::printf("}\n");
    return 0;
}
