// The window procedure of the class "WhPtExp": a black window that closes on
// Esc and otherwise ignores the user.
#include <windows.h>

#include "ui/controls.h"
#include "ui/procedures.h"

namespace tonalis {

namespace {

void OnCreate(HWND window, const CREATESTRUCTA* creation) {
    AttachSession(window, static_cast<SessionContext*>(creation->lpCreateParams));
}

void OnPaint(HWND window) {
    // The class background is black; there is nothing else to draw.
    ValidateRect(window, nullptr);
}

void OnKeyDown(HWND window, WPARAM key) {
    if (key == VK_ESCAPE) {
        DestroyWindow(window);
    }
}

}  // namespace

}  // namespace tonalis

extern "C" LRESULT CALLBACK TNLWhitePtWndProc(HWND window, UINT message, WPARAM wParam,
                                              LPARAM lParam) {
    using namespace tonalis;
    switch (message) {
        case WM_CREATE:
            OnCreate(window, reinterpret_cast<const CREATESTRUCTA*>(lParam));
            return 0;
        case WM_DESTROY:
            DetachSession(window);
            return 0;
        case WM_PAINT:
            OnPaint(window);
            return 0;
        case WM_CLOSE:
            DestroyWindow(window);
            return 0;
        case WM_KEYDOWN:
            OnKeyDown(window, wParam);
            return 0;
        case WM_KEYUP:
        case WM_CHAR:
        case WM_COMMAND:
        case WM_LBUTTONUP:
        case WM_GETMINMAXINFO:
            return 0;
        default:
            return DefWindowProcA(window, message, wParam, lParam);
    }
}
