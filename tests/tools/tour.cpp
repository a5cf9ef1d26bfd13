// Runs TNP.cpl as the Control Panel does and walks through every page and
// dialog, saving a picture of each as a BMP file in the folder given.
// Usage: tour.exe FOLDER. Prints one line per picture; missing ones say why.
#include <windows.h>
#include <cpl.h>
#include <prsht.h>

#include <cstdio>
#include <string>

#include "e2e/applet_library.h"
#include "e2e/applet_run.h"
#include "e2e/system_state.h"
#include "e2e/window_driver.h"
#include "resources/resource.h"

using namespace tonalis::e2e;

namespace {

constexpr DWORD kSettleMs = 400;  // for the window to be painted
constexpr int kCustomPhosphors = 6;
constexpr int kCustomHardwareWhite = 5;
constexpr int kCustomAdjustedWhite = 6;

std::string g_folder;

void WriteBitmap(const std::string& path, HDC dc, HBITMAP bitmap, int width, int height) {
    BITMAPINFOHEADER info = {};
    info.biSize = sizeof info;
    info.biWidth = width;
    info.biHeight = height;
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biCompression = BI_RGB;
    const DWORD stride = (width * 3 + 3) & ~3u;
    std::string pixels(stride * height, '\0');
    GetDIBits(dc, bitmap, 0, height, &pixels[0], reinterpret_cast<BITMAPINFO*>(&info),
              DIB_RGB_COLORS);
    BITMAPFILEHEADER file = {0x4D42, DWORD(sizeof file + sizeof info + pixels.size()), 0, 0,
                             DWORD(sizeof file + sizeof info)};
    FILE* out = fopen(path.c_str(), "wb");
    if (out != nullptr) {
        fwrite(&file, sizeof file, 1, out);
        fwrite(&info, sizeof info, 1, out);
        fwrite(pixels.data(), 1, pixels.size(), out);
        fclose(out);
    }
}

// The window as the screen shows it, frame included.
void Picture(const char* name, HWND window) {
    Sleep(kSettleMs);
    RECT rect;
    GetWindowRect(window, &rect);
    const int width = rect.right - rect.left, height = rect.bottom - rect.top;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
    SelectObject(memory, old);
    const std::string path = g_folder + "\\" + name + ".bmp";
    WriteBitmap(path, memory, bitmap, width, height);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    printf("%s\n", name);
}

// A step that may fail (a dialog not built yet) without ending the tour.
void Try(const char* name, const std::function<void()>& step) {
    try {
        step();
    } catch (const DriverError& error) {
        printf("%s: not shown (%s)\n", name, error.what());
        for (HWND window : ProcessWindows()) {
            if (!IsPropertySheet(window)) {
                PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
            }
        }
        Sleep(kSettleMs);
    }
}

HWND TopDialog(int controlId, const char* what) {
    return WaitFor([=] { return FindDialogWith(controlId); }, what);
}

void CloseDialog(HWND dialog) {
    Post(dialog, WM_COMMAND, IDCANCEL);
    WaitUntil([=] { return !IsWindow(dialog); }, "the dialog to close");
}

// A list's custom entry, the dialog it opens, and its Cancel.
void CustomDialog(const char* name, HWND page, int listId, int index, int fieldId) {
    Try(name, [&] {
        Choose(page, listId, index);
        HWND dialog = TopDialog(fieldId, name);
        Picture(name, dialog);
        CloseDialog(dialog);
    });
}

void WhitePointScreens(HWND page) {
    Try("322-white-point-instructions", [&] {
        Click(page, IDC_MEASURE);
        HWND instructions = TopDialog(IDC_WIZARD_PICTURE, "the instructions");
        Picture("322-white-point-instructions", instructions);
        Post(instructions, WM_COMMAND, IDOK);
        HWND screen = TopDialog(IDC_SQUARE_CENTRE, "the squares");
        Picture("326-white-point-screen", screen);
        PressKey(screen, VK_ESCAPE);
        WaitUntil([=] { return !IsWindow(instructions); }, "the instructions to close");
    });
}

void WizardTour() {
    Wizard wizard = Wizard::WaitForIt();
    HWND page = wizard.WaitForPage(IDD_WELCOME);
    Click(page, IDC_CHOOSE_WIZARD);
    Picture("301-welcome", wizard.frame());
    wizard.Next();

    page = wizard.WaitForPage(IDD_DESCRIPTION);
    TypeCharacters(page, IDC_DESCRIPTION, L"我的显示器（办公室）");
    Picture("303-description", wizard.frame());
    Try("320-open-profile", [&] {
        Click(page, IDC_LOAD);
        HWND dialog = WaitFor(
            [] {
                for (HWND window : ProcessWindows()) {
                    if (IsFileDialog(window)) {
                        return window;
                    }
                }
                return HWND(nullptr);
            },
            "the open dialog");
        Picture("320-open-profile", dialog);
        CancelFileDialog();
    });
    wizard.Next();
    wizard.WaitForPage(IDD_BRIGHTNESS);
    Picture("304-brightness", wizard.frame());
    wizard.Next();

    page = wizard.WaitForPage(IDD_PHOSPHORS);
    Picture("311-phosphors", wizard.frame());
    CustomDialog("318-custom-phosphors", page, IDC_PHOSPHOR_LIST, kCustomPhosphors, IDC_RED_X);
    wizard.Next();

    page = wizard.WaitForPage(IDD_GAMMA);
    Picture("309-gamma", wizard.frame());
    Click(page, IDC_SINGLE_GAMMA);
    Picture("309-gamma-three-channels", wizard.frame());
    if (IsShown(page, IDC_FINE_TUNE)) {
        Try("330-fine-tuning", [&] {
            Click(page, IDC_FINE_TUNE);
            HWND dialog = TopDialog(IDC_FINE_CHANNEL, "fine-tuning");
            Picture("330-fine-tuning", dialog);
            CloseDialog(dialog);
        });
    }
    wizard.Next();

    page = wizard.WaitForPage(IDD_HARDWARE_WHITE);
    Picture("305-hardware-white", wizard.frame());
    CustomDialog("316-custom-hardware-white", page, IDC_HARDWARE_WHITE_LIST, kCustomHardwareWhite,
                 IDC_WHITE_X);
    WhitePointScreens(page);
    wizard.Next();

    WaitUntil(
        [&] {
            const int id = wizard.PageId();
            return id == IDD_ADJUSTED_WHITE || id == IDD_FINISH_PLAIN;
        },
        "the page after 305");
    page = wizard.Page();
    if (wizard.PageId() == IDD_ADJUSTED_WHITE) {
        Picture("321-adjusted-white", wizard.frame());
        CustomDialog("325-custom-adjusted-white", page, IDC_ADJUSTED_WHITE_LIST,
                     kCustomAdjustedWhite, IDC_WHITE_X);
        wizard.Next();
        wizard.WaitForPage(IDD_FINISH_COMPARE);
        Picture("312-finish-compare", wizard.frame());
    } else {
        wizard.WaitForPage(IDD_FINISH_PLAIN);
        Picture("313-finish", wizard.frame());
    }
    Try("save-profile", [&] {
        wizard.Finish();
        HWND dialog = WaitFor(
            [] {
                for (HWND window : ProcessWindows()) {
                    if (IsFileDialog(window)) {
                        return window;
                    }
                }
                return HWND(nullptr);
            },
            "the save dialog");
        Picture("save-profile", dialog);
        CancelFileDialog();
    });
    wizard.Cancel();
}

void PanelTour() {
    HWND panel = TopDialog(IDC_PANEL_WIZARD, "the control panel dialog");
    Picture("324-control-panel", panel);
    Post(panel, WM_COMMAND, IDCANCEL);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        fprintf(stderr, "usage: tour.exe FOLDER\n");
        return 2;
    }
    g_folder = argv[1];
    CleanSystem clean;
    AppletLibrary applet;
    if (applet.module() == nullptr || applet.Send(CPL_INIT) != 1) {
        fprintf(stderr, "cannot load %s\n", AppletPath().c_str());
        return 1;
    }
    RunRecord wizard = RunDoubleClick(applet, WizardTour);
    SetDword(HKEY_CURRENT_USER, kUserKey, "WizardOrPanel", 2);
    RunRecord panel = RunDoubleClick(applet, PanelTour);

    using SaveWarning = INT_PTR(CALLBACK*)(HWND, UINT, WPARAM, LPARAM);
    auto procedure =
        reinterpret_cast<SaveWarning>(reinterpret_cast<void*>(applet.Export("TNLSaveWarnDlg")));
    if (procedure == nullptr) {
        fprintf(stderr, "TNLSaveWarnDlg is not exported\n");
        return 1;
    }
    RunRecord warning = RunWhileDriving(
        [&] {
            return static_cast<LONG>(DialogBoxParamA(applet.module(),
                                                     MAKEINTRESOURCEA(IDD_SAVE_WARNING), nullptr,
                                                     procedure, LPARAM("Orvane Monitor Profile")));
        },
        [] {
            Try("131-save-warning", [] {
                HWND dialog = TopDialog(IDC_SAVE_WARNING_TEXT, "the save prompt");
                Picture("131-save-warning", dialog);
                CloseDialog(dialog);
            });
        });
    applet.Send(CPL_EXIT);
    for (const RunRecord* run : {&wizard, &panel, &warning}) {
        if (!run->failure.empty()) {
            fprintf(stderr, "stopped early: %s\n", run->failure.c_str());
            return 1;
        }
    }
    return 0;
}
