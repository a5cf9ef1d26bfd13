// Win32 side of the control layer: each operation is one or two messages.
#include "ui/controls.h"

#include <commctrl.h>

namespace tonalis {

namespace {

constexpr int kListStringSize = 40;

}  // namespace

void AttachSession(HWND window, SessionContext* session) {
    SetPropA(window, kSessionProperty, session);
}

SessionContext* SessionOf(HWND window) {
    return static_cast<SessionContext*>(GetPropA(window, kSessionProperty));
}

void DetachSession(HWND window) {
    RemovePropA(window, kSessionProperty);
}

HWND Control(HWND window, int id) {
    return GetDlgItem(window, id);
}

HWND MakeControlWide(HWND window, int id) {
    HWND old = GetDlgItem(window, id);
    if (old == nullptr || IsWindowUnicode(old)) {
        return old;
    }
    wchar_t className[64] = {};
    GetClassNameW(old, className, 64);
    RECT place = {};
    GetWindowRect(old, &place);
    MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&place), 2);
    HWND wide = CreateWindowExW(static_cast<DWORD>(GetWindowLongW(old, GWL_EXSTYLE)), className,
                                L"", static_cast<DWORD>(GetWindowLongW(old, GWL_STYLE)), place.left,
                                place.top, place.right - place.left, place.bottom - place.top,
                                window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(old, GWLP_HINSTANCE)),
                                nullptr);
    if (wide == nullptr) {
        return old;
    }
    SendMessageW(wide, WM_SETFONT, SendMessageW(old, WM_GETFONT, 0, 0), FALSE);
    SetWindowPos(wide, old, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    DestroyWindow(old);
    return wide;
}

void SetControlText(HWND window, int id, const char* text) {
    SetDlgItemTextA(window, id, text);
}

int GetControlText(HWND window, int id, char* text, int size) {
    if (size <= 0) {
        return 0;
    }
    text[0] = '\0';
    return static_cast<int>(GetDlgItemTextA(window, id, text, size));
}

void ClearList(HWND list) {
    SendMessageA(list, CB_RESETCONTENT, 0, 0);
}

void AddListString(HWND list, const char* text) {
    SendMessageA(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
}

void AddListStrings(HWND list, HINSTANCE instance, int first, int last) {
    for (int id = first; id <= last; ++id) {
        char text[kListStringSize] = {};
        LoadStringA(instance, static_cast<UINT>(id), text, kListStringSize);
        AddListString(list, text);
    }
}

int SelectedListIndex(HWND list) {
    return static_cast<int>(SendMessageA(list, CB_GETCURSEL, 0, 0));
}

void SelectListIndex(HWND list, int index) {
    SendMessageA(list, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

void SetSliderRange(HWND slider, int minimum, int maximum, bool redraw) {
    SendMessageA(slider, TBM_SETRANGE, redraw, MAKELPARAM(minimum, maximum));
}

void GetSliderRange(HWND slider, int* minimum, int* maximum) {
    *minimum = static_cast<int>(SendMessageA(slider, TBM_GETRANGEMIN, 0, 0));
    *maximum = static_cast<int>(SendMessageA(slider, TBM_GETRANGEMAX, 0, 0));
}

void SetSliderSteps(HWND slider, int lineSize, int pageSize) {
    SendMessageA(slider, TBM_SETLINESIZE, 0, lineSize);
    SendMessageA(slider, TBM_SETPAGESIZE, 0, pageSize);
}

void SetSliderPosition(HWND slider, int position, bool redraw) {
    SendMessageA(slider, TBM_SETPOS, redraw, position);
}

int SliderPosition(HWND slider) {
    return static_cast<int>(SendMessageA(slider, TBM_GETPOS, 0, 0));
}

bool IsChecked(HWND window, int id) {
    return IsDlgButtonChecked(window, id) == BST_CHECKED;
}

void SetChecked(HWND window, int id, bool checked) {
    CheckDlgButton(window, id, checked ? BST_CHECKED : BST_UNCHECKED);
}

void ShowControl(HWND window, int id, bool shown) {
    ShowWindow(GetDlgItem(window, id), shown ? SW_SHOW : SW_HIDE);
}

bool IsControlShown(HWND window, int id) {
    HWND control = GetDlgItem(window, id);
    return control != nullptr && (GetWindowLongA(control, GWL_STYLE) & WS_VISIBLE) != 0;
}

void InvalidateControl(HWND window, int id, bool now) {
    HWND control = GetDlgItem(window, id);
    if (control == nullptr) {
        return;
    }
    InvalidateRect(control, nullptr, FALSE);
    if (now) {
        UpdateWindow(control);
    }
}

INT_PTR SetDialogResult(HWND dialog, LONG_PTR result) {
    SetWindowLongPtrA(dialog, DWLP_MSGRESULT, result);
    return TRUE;
}

}  // namespace tonalis
