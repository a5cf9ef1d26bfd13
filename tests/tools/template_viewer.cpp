// Shows one dialog template of TNP.cpl with sample contents, so that it can be
// photographed and its layout checked. Page templates stand inside a captioned
// host window of their size; the open dialog's preview (320) inside the real
// open dialog. Prints "window <X window id>" once shown, then one line per
// control with its rectangle in pixels and whether its text fits.
//
// Usage: template_viewer.exe <TNP.cpl> <template id> [milliseconds to stay]
#include <windows.h>
#include <commctrl.h>
#include <commdlg.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "resources/resource.h"

namespace {

const UINT_PTR kReportTimer = 1;
const UINT_PTR kCloseTimer = 2;
const UINT kReportDelayMs = 700;

HMODULE g_applet = nullptr;
UINT g_stayMs = 4000;
const char kSampleName[] = "Orvane Monitor Profile";
const char kSampleDescription[] =
    "Orvane Monitor Settings, calibrated for photo work: gamma 2.2, white 6500 K, "
    "EBU/ITU phosphors.";

std::string AppletString(UINT id) {
    char text[256] = {};
    LoadStringA(g_applet, id, text, sizeof text);
    return text;
}

// Lists filled with the strings the applet puts in them.
struct ListSample {
    int control;
    UINT firstString;
    UINT lastString;
    int selected;
};
const ListSample kListSamples[] = {
    {IDC_PHOSPHOR_LIST, 3100, 3106, 0},
    {IDC_GAMMA_LIST, 3200, 3202, 1},
    {IDC_HARDWARE_WHITE_LIST, 3001, 3006, 2},
    {IDC_ADJUSTED_WHITE_LIST, 3000, 3006, 0},
};

struct TextSample {
    int control;
    const char* text;
};
const TextSample kTextSamples[] = {
    {IDC_DESCRIPTION, kSampleName}, {IDC_GAMMA_EDIT, "2.20"}, {IDC_WHITE_X, "0.3128"},
    {IDC_WHITE_Y, "0.3292"},        {IDC_RED_X, "0.6400"},    {IDC_RED_Y, "0.3300"},
    {IDC_GREEN_X, "0.2900"},        {IDC_GREEN_Y, "0.6000"},  {IDC_BLUE_X, "0.1500"},
    {IDC_BLUE_Y, "0.0600"},
};

// Shown although the templates hide them: they appear once the user unchecks
// the single-gamma box, and their place must be seen.
const int kShownSideControls[] = {IDC_GAMMA_PATCH_LEFT, IDC_GAMMA_SLIDER_LEFT,
                                  IDC_GAMMA_PATCH_RIGHT, IDC_GAMMA_SLIDER_RIGHT};
const int kCheckedButtons[] = {IDC_CHOOSE_WIZARD, IDC_AFTER, IDC_TEST_CAN_CONTROL};

std::string ClassOf(HWND window) {
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

void FillSamples(HWND dialog) {
    for (const ListSample& list : kListSamples) {
        HWND combo = GetDlgItem(dialog, list.control);
        if (combo == nullptr) {
            continue;
        }
        for (UINT id = list.firstString; id <= list.lastString; ++id) {
            SendMessageA(combo, CB_ADDSTRING, 0,
                         reinterpret_cast<LPARAM>(AppletString(id).c_str()));
        }
        SendMessageA(combo, CB_SETCURSEL, list.selected, 0);
    }
    for (const TextSample& sample : kTextSamples) {
        SetDlgItemTextA(dialog, sample.control, sample.text);
    }
    for (int id : kShownSideControls) {
        if (HWND control = GetDlgItem(dialog, id)) {
            ShowWindow(control, SW_SHOW);
        }
    }
    for (int id : kCheckedButtons) {
        CheckDlgButton(dialog, id, BST_CHECKED);
    }
    if (GetDlgItem(dialog, IDC_SAVE_WARNING_TEXT) != nullptr) {
        char text[300];
        snprintf(text, sizeof text, AppletString(3432).c_str(), kSampleName);
        SetDlgItemTextA(dialog, IDC_SAVE_WARNING_TEXT, text);
    }
    for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        if (ClassOf(child) == "msctls_trackbar32") {
            SendMessageA(child, TBM_SETRANGE, FALSE, MAKELPARAM(0, 200));
            SendMessageA(child, TBM_SETPOS, TRUE, 100);
        }
    }
}

// Stands in for the patterns, which the applet draws itself.
void DrawPlaceholder(HDC dc, RECT rect) {
    HBRUSH grey = CreateSolidBrush(RGB(128, 128, 128));
    FillRect(dc, &rect, grey);
    DeleteObject(grey);
    FrameRect(dc, &rect, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
}

// Height in pixels that a control's text needs at the control's width.
struct TextNeed {
    bool measured;
    int width;
    int height;
};

TextNeed MeasureText(HWND control, const std::string& text) {
    TextNeed need{false, 0, 0};
    std::string kind = ClassOf(control);
    LONG style = GetWindowLongA(control, GWL_STYLE);
    RECT rect;
    GetClientRect(control, &rect);
    int available = rect.right;
    UINT format = DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS;
    if (kind == "Static") {
        LONG type = style & SS_TYPEMASK;
        if (type != SS_LEFT && type != SS_CENTER && type != SS_RIGHT && type != SS_LEFTNOWORDWRAP) {
            return need;
        }
        if (style & SS_NOPREFIX) {
            format |= DT_NOPREFIX;
        }
    } else if (kind == "Button") {
        LONG type = style & BS_TYPEMASK;
        if (type == BS_GROUPBOX || type == BS_OWNERDRAW) {
            return need;
        }
        if (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON) {
            available -= 8;  // the button's edges
            format = DT_CALCRECT | DT_SINGLELINE;
        } else {
            available -= GetSystemMetrics(SM_CXMENUCHECK) + 4;  // the box and its gap
        }
    } else {
        return need;
    }
    if (text.empty()) {
        return need;
    }
    HDC dc = GetDC(control);
    HGDIOBJ old =
        SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0)));
    RECT calc = {0, 0, available, 0};
    DrawTextA(dc, text.c_str(), -1, &calc, format);
    SelectObject(dc, old);
    ReleaseDC(control, dc);
    need = {true, calc.right, calc.bottom};
    return need;
}

bool IsFrame(HWND control) {
    std::string kind = ClassOf(control);
    LONG style = GetWindowLongA(control, GWL_STYLE);
    return kind == "Button" && (style & BS_TYPEMASK) == BS_GROUPBOX;
}

void ReportControls(HWND dialog, const char* previewText) {
    RECT units = {4, 8, 0, 0};
    MapDialogRect(dialog, &units);
    RECT client;
    GetClientRect(dialog, &client);
    printf("units 4x8 = %ldx%ld px; client %ldx%ld px\n", units.left, units.top, client.right,
           client.bottom);
    struct Placed {
        HWND window;
        int id;
        RECT rect;
    };
    std::vector<Placed> placed;
    for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        RECT rect;
        GetWindowRect(child, &rect);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
        int id = GetDlgCtrlID(child);
        bool visible = (GetWindowLongA(child, GWL_STYLE) & WS_VISIBLE) != 0;
        char text[512] = {};
        GetWindowTextA(child, text, sizeof text);
        std::string measured =
            (id == IDC_OPEN_PREVIEW && previewText != nullptr) ? previewText : text;
        TextNeed need = MeasureText(child, measured);
        int height = rect.bottom - rect.top;
        const char* verdict = !need.measured ? "" : (need.height <= height ? " fits" : " CLIPPED");
        printf("control %5d %-18s %4ld %4ld %4ld %4d%s", id, ClassOf(child).c_str(), rect.left,
               rect.top, rect.right - rect.left, height, visible ? "" : " hidden");
        if (need.measured) {
            printf(" text %dx%d%s", need.width, need.height, verdict);
        }
        if (rect.right > client.right || rect.bottom > client.bottom || rect.left < 0 ||
            rect.top < 0) {
            printf(" OUTSIDE");
        }
        printf("\n");
        if (visible && !IsFrame(child)) {
            placed.push_back({child, id, rect});
        }
    }
    for (size_t i = 0; i < placed.size(); ++i) {
        for (size_t j = i + 1; j < placed.size(); ++j) {
            RECT common;
            if (IntersectRect(&common, &placed[i].rect, &placed[j].rect)) {
                printf("OVERLAP %d %d\n", placed[i].id, placed[j].id);
            }
        }
    }
}

void PrintXWindow(HWND window) {
    auto x = reinterpret_cast<ULONG_PTR>(GetPropA(window, "__wine_x11_whole_window"));
    printf("window 0x%lx\n", static_cast<unsigned long>(x));
    fflush(stdout);
}

INT_PTR CALLBACK ViewerProc(HWND dialog, UINT message, WPARAM, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            FillSamples(dialog);
            return TRUE;
        case WM_DRAWITEM: {
            auto* item = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
            DrawPlaceholder(item->hDC, item->rcItem);
            return TRUE;
        }
        default:
            return FALSE;
    }
}

LRESULT CALLBACK HostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CLOSE) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

// A copy of the template, styled as the property sheet styles its pages.
std::vector<BYTE> PageTemplate(const BYTE* resource, DWORD size) {
    std::vector<BYTE> copy(resource, resource + size);
    bool extended = reinterpret_cast<const WORD*>(resource)[1] == 0xFFFF;
    DWORD* style = reinterpret_cast<DWORD*>(copy.data() + (extended ? 12 : 0));
    *style &= ~(WS_CAPTION | WS_DISABLED | WS_POPUP | WS_SYSMENU | DS_MODALFRAME);
    *style |= WS_CHILD | WS_VISIBLE | DS_CONTROL;
    return copy;
}

HWND ShowPage(const BYTE* resource, DWORD size) {
    WNDCLASSA host = {};
    host.lpfnWndProc = HostProc;
    host.hInstance = GetModuleHandleA(nullptr);
    host.hCursor = LoadCursor(nullptr, IDC_ARROW);
    host.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    host.lpszClassName = "TemplateViewerHost";
    RegisterClassA(&host);
    const DWORD hostStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;
    HWND window = CreateWindowExA(0, host.lpszClassName, "", hostStyle, 40, 40, 100, 100, nullptr,
                                  nullptr, host.hInstance, nullptr);
    std::vector<BYTE> pageTemplate = PageTemplate(resource, size);
    HWND page = CreateDialogIndirectParamA(
        g_applet, reinterpret_cast<DLGTEMPLATE*>(pageTemplate.data()), window, ViewerProc, 0);
    if (page == nullptr) {
        return nullptr;
    }
    char title[256] = {};
    GetWindowTextA(page, title, sizeof title);
    SetWindowTextA(window, title);
    RECT rect;
    GetWindowRect(page, &rect);
    OffsetRect(&rect, -rect.left, -rect.top);
    AdjustWindowRectEx(&rect, hostStyle, FALSE, 0);
    SetWindowPos(window, nullptr, 40, 40, rect.right - rect.left, rect.bottom - rect.top,
                 SWP_NOZORDER);
    SetWindowPos(page, nullptr, 0, 0, 0, 0, SWP_NOZORDER | SWP_NOSIZE);
    ShowWindow(window, SW_SHOW);
    SetPropA(window, "TemplateViewerPage", page);
    return window;
}

HWND ShowDialog(const BYTE* resource) {
    HWND dialog = CreateDialogIndirectParamA(
        g_applet, reinterpret_cast<const DLGTEMPLATE*>(resource), nullptr, ViewerProc, 0);
    if (dialog == nullptr) {
        return nullptr;
    }
    SetWindowPos(dialog, nullptr, 40, 40, 0, 0, SWP_NOZORDER | SWP_NOSIZE);
    ShowWindow(dialog, SW_SHOW);
    return dialog;
}

int RunWindow(HWND window) {
    SetTimer(nullptr, 0, kReportDelayMs, nullptr);
    SetTimer(nullptr, 0, g_stayMs, nullptr);
    DWORD start = GetTickCount();
    bool reported = false;
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        if (message.message == WM_TIMER && message.hwnd == nullptr) {
            DWORD elapsed = GetTickCount() - start;
            if (!reported && elapsed >= kReportDelayMs) {
                reported = true;
                PrintXWindow(window);
                auto page = static_cast<HWND>(GetPropA(window, "TemplateViewerPage"));
                ReportControls(page != nullptr ? page : window, nullptr);
                fflush(stdout);
            }
            if (elapsed >= g_stayMs) {
                break;
            }
            continue;
        }
        if (!IsDialogMessageA(window, &message)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
    DestroyWindow(window);
    return 0;
}

// The open dialog: the hook fills the preview, reports and finally cancels.
UINT_PTR CALLBACK OpenHook(HWND child, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
        case WM_INITDIALOG:
            SetDlgItemTextA(child, IDC_OPEN_PREVIEW, kSampleDescription);
            SetTimer(child, kReportTimer, kReportDelayMs, nullptr);
            SetTimer(child, kCloseTimer, g_stayMs, nullptr);
            return TRUE;
        case WM_TIMER:
            if (wParam == kReportTimer) {
                KillTimer(child, kReportTimer);
                PrintXWindow(GetParent(child));
                // The preview must hold a full 255-character description.
                std::string longest;
                while (longest.size() < 255) {
                    longest += kSampleDescription;
                    longest += ' ';
                }
                longest.resize(255);
                ReportControls(child, longest.c_str());
                fflush(stdout);
            } else {
                KillTimer(child, kCloseTimer);
                PostMessageA(GetParent(child), WM_COMMAND, IDCANCEL, 0);
            }
            return TRUE;
        default:
            return FALSE;
    }
}

int RunOpenDialog() {
    std::string filter = AppletString(3400) + '\0' + AppletString(3401) + '\0' +
                         AppletString(3402) + '\0' + AppletString(3403) + '\0' + '\0';
    std::string title = AppletString(3405);
    std::string extension = AppletString(3406);
    char path[MAX_PATH] = {};
    OPENFILENAMEA dialog = {};
    dialog.lStructSize = sizeof dialog;
    dialog.hInstance = g_applet;
    dialog.lpstrFilter = filter.c_str();
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = path;
    dialog.nMaxFile = sizeof path;
    dialog.lpstrInitialDir = "C:\\windows\\system32\\spool\\drivers\\color";
    dialog.lpstrTitle = title.c_str();
    dialog.lpstrDefExt = extension.c_str();
    dialog.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY |
                   OFN_NOCHANGEDIR | OFN_ENABLEHOOK | OFN_ENABLETEMPLATE;
    dialog.lpfnHook = OpenHook;
    dialog.lpTemplateName = MAKEINTRESOURCEA(IDD_OPEN_PREVIEW);
    GetOpenFileNameA(&dialog);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        fprintf(stderr, "usage: template_viewer <TNP.cpl> <template id> [milliseconds]\n");
        return 2;
    }
    int id = atoi(argv[2]);
    if (argc > 3) {
        g_stayMs = static_cast<UINT>(atoi(argv[3]));
    }
    g_applet = LoadLibraryA(argv[1]);
    if (g_applet == nullptr) {
        fprintf(stderr, "cannot load %s (error %lu)\n", argv[1], GetLastError());
        return 1;
    }
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    if (id == IDD_OPEN_PREVIEW) {
        return RunOpenDialog();
    }
    HRSRC found = FindResourceA(g_applet, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(5));
    if (found == nullptr) {
        fprintf(stderr, "no dialog template %d\n", id);
        return 1;
    }
    const auto* resource = static_cast<const BYTE*>(LockResource(LoadResource(g_applet, found)));
    DWORD size = SizeofResource(g_applet, found);
    LONG style = reinterpret_cast<const WORD*>(resource)[1] == 0xFFFF
                     ? *reinterpret_cast<const DWORD*>(resource + 12)
                     : *reinterpret_cast<const DWORD*>(resource);
    HWND window = (style & WS_CHILD) ? ShowPage(resource, size) : ShowDialog(resource);
    if (window == nullptr) {
        fprintf(stderr, "template %d could not be shown (error %lu)\n", id, GetLastError());
        return 1;
    }
    return RunWindow(window);
}
