// Text output on Windows: bytes written to a console are read in its code
// page (936, say), which garbles UTF-8, so a console is given UTF-16.
#include <windows.h>

#include <vector>

#include "tool/console_output.h"

namespace tonalis::tool {

namespace {

// Older consoles refuse long writes; a piece never ends inside a surrogate pair.
constexpr size_t kConsolePiece = 4096;

bool WriteConsoleText(HANDLE console, const std::string& text) {
    if (text.empty()) {
        return true;
    }
    const int length =
        MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::vector<wchar_t> wide(length > 0 ? length : 0);
    if (length <= 0 || MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                           wide.data(), length) != length) {
        return false;
    }
    for (size_t at = 0; at < wide.size();) {
        size_t piece = wide.size() - at < kConsolePiece ? wide.size() - at : kConsolePiece;
        if (piece < wide.size() - at && IS_HIGH_SURROGATE(wide[at + piece - 1])) {
            --piece;
        }
        DWORD written = 0;
        if (!WriteConsoleW(console, wide.data() + at, static_cast<DWORD>(piece), &written,
                           nullptr) ||
            written == 0) {
            return false;
        }
        at += written;
    }
    return true;
}

}  // namespace

bool WriteOutput(std::FILE* stream, const std::string& text) {
    HANDLE handle = GetStdHandle(stream == stderr ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE);
    DWORD mode = 0;
    if (handle == nullptr || handle == INVALID_HANDLE_VALUE || !GetConsoleMode(handle, &mode)) {
        return std::fwrite(text.data(), 1, text.size(), stream) == text.size() &&
               std::fflush(stream) == 0;
    }
    // What the C library holds goes first, so that the order stays.
    std::fflush(stream);
    return WriteConsoleText(handle, text);
}

}  // namespace tonalis::tool
