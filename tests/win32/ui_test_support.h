// Helpers of the pattern, slider and white point tests: a session as a run
// makes it, and a 32-bit canvas whose pixels can be read.
#pragma once

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "session/session_context.h"
#include "ui/pattern_palette.h"

namespace tonalis::testing {

struct FreeUiSession {
    void operator()(SessionContext* session) const { std::free(session); }
};
using UiSession = std::unique_ptr<SessionContext, FreeUiSession>;

// Zero-filled like a run's, with the pattern palette's start colours.
inline UiSession NewUiSession() {
    UiSession session(static_cast<SessionContext*>(std::calloc(1, sizeof(SessionContext))));
    session->instance = GetModuleHandleA(nullptr);
    session->monitorCount = 1;
    InitPatternPalette(&session->patternPalette);
    return session;
}

// A top-down 32-bit bitmap in a memory context, first filled with a colour
// that no pattern uses, so that unpainted pixels show.
class Canvas {
  public:
    static constexpr COLORREF kUnpainted = RGB(1, 2, 3);

    Canvas(int width, int height) : width_(width), height_(height) {
        BITMAPINFO info = {};
        info.bmiHeader = {sizeof info.bmiHeader, width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        bitmap_ = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits_),
                                   nullptr, 0);
        previous_ = SelectObject(dc_, bitmap_);
        HBRUSH brush = CreateSolidBrush(kUnpainted);
        RECT all = rect();
        FillRect(dc_, &all, brush);
        DeleteObject(brush);
    }
    ~Canvas() {
        SelectObject(dc_, previous_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    HDC dc() const { return dc_; }
    RECT rect() const { return RECT{0, 0, width_, height_}; }
    COLORREF Pixel(int x, int y) const {
        GdiFlush();
        const DWORD value = bits_[y * width_ + x];
        return RGB((value >> 16) & 0xFF, (value >> 8) & 0xFF, value & 0xFF);
    }

  private:
    int width_, height_;
    HDC dc_ = CreateCompatibleDC(nullptr);
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ previous_ = nullptr;
    DWORD* bits_ = nullptr;
};

inline std::string ColourText(COLORREF colour) {
    char text[32];
    std::snprintf(text, sizeof text, "(%d, %d, %d)", GetRValue(colour), GetGValue(colour),
                  GetBValue(colour));
    return text;
}

}  // namespace tonalis::testing
