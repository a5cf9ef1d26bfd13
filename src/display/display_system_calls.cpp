#include "display/display_system_calls.h"

namespace tonalis {

namespace {

BOOL WINAPI ReadRamp(HDC dc, LPVOID ramp) {
    return GetDeviceGammaRamp(dc, ramp);
}
BOOL WINAPI WriteRamp(HDC dc, LPVOID ramp) {
    return SetDeviceGammaRamp(dc, ramp);
}

}  // namespace

DisplaySystemCalls g_displaySystemCalls = {GetAsyncKeyState, ReadRamp, WriteRamp};

}  // namespace tonalis
