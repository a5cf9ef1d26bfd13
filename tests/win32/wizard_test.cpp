// Runs of the applet driven through its real windows: the control-panel
// dialog's three endings and the wizard's way around a monitor without a
// settable lookup table. A thread timer presses the buttons, as a user would,
// and cancels whatever is open when a run takes too long.
#include <windows.h>

#include <commctrl.h>
#include <dlgs.h>
#include <prsht.h>

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "applet/run_applet.h"
#include "applet_seams.h"
#include "dialog_driver.h"
#include "resources/resource.h"
#include "resources/string_ids.h"
#include "system_seams.h"
#include "ui/procedures.h"
#include "ui_test_support.h"

namespace tonalis {
namespace {

using testing::CleanProductKeys;
using testing::ScopedFakeDisplaySystem;
using testing::ScopedFakeSystem;

constexpr char kProductKey[] = "SOFTWARE\\Orvane\\Tonalis";
constexpr int kPanelWizardButton = 1228;
constexpr int kDescriptionEdit = 1212;
constexpr int kPhosphorList = 1702;
constexpr int kGammaPatchCentre = 1605;

void RememberMode(DWORD mode) {
    testing::SetValue(HKEY_CURRENT_USER, kProductKey, "WizardOrPanel", REG_DWORD, &mode,
                      sizeof mode);
}

struct WindowSearch {
    const std::function<bool(HWND)>* wanted;
    HWND found;
};

BOOL CALLBACK CheckThreadWindow(HWND window, LPARAM data) {
    auto* search = reinterpret_cast<WindowSearch*>(data);
    if (IsWindowVisible(window) && (*search->wanted)(window)) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

HWND FindThreadWindow(const std::function<bool(HWND)>& wanted) {
    WindowSearch search = {&wanted, nullptr};
    EnumThreadWindows(GetCurrentThreadId(), CheckThreadWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND FindPanel() {
    return FindThreadWindow([](HWND w) { return GetDlgItem(w, kPanelWizardButton) != nullptr; });
}

HWND FindSheet() {
    return FindThreadWindow(
        [](HWND w) { return SendMessageA(w, PSM_GETCURRENTPAGEHWND, 0, 0) != 0; });
}

HWND CurrentPage(HWND sheet) {
    return reinterpret_cast<HWND>(SendMessageA(sheet, PSM_GETCURRENTPAGEHWND, 0, 0));
}

int PageId(HWND sheet, HWND page) {
    LRESULT index = SendMessageA(sheet, PSM_HWNDTOINDEX, reinterpret_cast<WPARAM>(page), 0);
    return static_cast<int>(SendMessageA(sheet, PSM_INDEXTOID, index, 0));
}

void Click(HWND dialog, int id) {
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

std::string ControlText(HWND window, int id) {
    char text[260] = {};
    GetDlgItemTextA(window, id, text, sizeof text);
    return text;
}

// A top-level window of the test standing in for the Control Panel.
class OwnerWindow {
  public:
    OwnerWindow()
        : window_(CreateWindowExA(0, "STATIC", "Control Panel", WS_OVERLAPPED, 0, 0, 200, 100,
                                  nullptr, nullptr, nullptr, nullptr)) {}
    ~OwnerWindow() { DestroyWindow(window_); }
    HWND get() const { return window_; }

  private:
    HWND window_;
};

class AppletRun : public ::testing::Test {
  protected:
    // One step at each tick until it returns true, then the next; every tick
    // also looks for the wizard's sheet, to the end of the run.
    int Run(std::vector<std::function<bool()>> steps) {
        int result = -1;
        size_t next = 0;
        testing::DriveDialogs([&] { result = RunApplet(owner_.get(), GetModuleHandleA(nullptr)); },
                              [&](HWND) {
                                  sheetSeen_ = sheetSeen_ || FindSheet() != nullptr;
                                  if (next < steps.size() && steps[next]()) {
                                      ++next;
                                  }
                                  return false;
                              });
        finished_ = next == steps.size();
        return result;
    }

    CleanProductKeys keys_;
    ScopedFakeSystem system_;
    ScopedFakeDisplaySystem display_;
    OwnerWindow owner_;
    bool finished_ = false;
    bool sheetSeen_ = false;
};

TEST_F(AppletRun, PanelCancelEndsTheRunWithoutTheWizard) {
    RememberMode(2);

    int result = Run({[] {
        HWND panel = FindPanel();
        if (panel != nullptr) {
            Click(panel, IDCANCEL);
        }
        return panel != nullptr;
    }});

    EXPECT_TRUE(finished_) << "dialog 324 never appeared";
    EXPECT_EQ(result, 1);
    EXPECT_FALSE(sheetSeen_);
    EXPECT_TRUE(system_.state().messages.empty());
    EXPECT_EQ(system_.state().releases, 1);
    EXPECT_EQ(system_.state().liveAllocations, 0);
}

// On a display of 256 palette colours another window's palette change
// repaints the patches, their own realisation does not.
TEST_F(AppletRun, OnAPaletteDisplayThePatchesRepaintAfterPaletteChanges) {
    system_.state().bitsPerPixel = 8;
    system_.state().rasterCaps = RC_PALETTE;
    RememberMode(2);
    std::vector<bool> invalidated;

    Run({[&] {
        HWND panel = FindPanel();
        if (panel == nullptr) {
            return false;
        }
        HWND patch = GetDlgItem(panel, kGammaPatchCentre);
        for (HWND changer : {panel, owner_.get()}) {
            ValidateRect(patch, nullptr);
            SendMessageA(panel, WM_PALETTECHANGED, reinterpret_cast<WPARAM>(changer), 0);
            invalidated.push_back(GetUpdateRect(patch, nullptr, FALSE) != FALSE);
        }
        Click(panel, IDCANCEL);
        return true;
    }});

    EXPECT_TRUE(finished_);
    EXPECT_TRUE(system_.state().messages.empty());
    EXPECT_EQ(invalidated, (std::vector<bool>{false, true}));
}

HWND FindSaveDialog() {
    return FindThreadWindow([](HWND w) {
        return IsWindowEnabled(w) && (GetDlgItem(w, cmb13) != nullptr || GetDlgItem(w, edt1));
    });
}

// Steps of a run: each true once done.
bool PressInPanel(int id) {
    HWND panel = FindPanel();
    if (panel != nullptr) {
        Click(panel, id);
    }
    return panel != nullptr;
}

bool SaveAs(const std::string& path) {
    HWND save = FindSaveDialog();
    if (save != nullptr) {
        SetDlgItemTextA(save, cmb13, path.c_str());
        SetDlgItemTextA(save, edt1, path.c_str());
        Click(save, IDOK);
    }
    return save != nullptr;
}

std::string TempPath(const std::string& name) {
    char folder[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, folder);
    return folder + name;
}

TEST_F(AppletRun, PanelOkSavesAndRegistersTheProfileAndEndsTheRun) {
    RememberMode(2);
    const std::string name = "tonalis-panel-ok.icc";
    const std::string path = TempPath(name);
    const std::string installed = testing::LibraryColorDirectory() + name;
    DeleteFileA(path.c_str());

    int result = Run({
        [] {
            HWND panel = FindPanel();
            if (panel != nullptr) {
                SetDlgItemTextA(panel, kDescriptionEdit, "Panel OK");
                RememberMode(1);  // the save must write the panel's mode itself
            }
            return PressInPanel(IDOK);
        },
        [&] { return SaveAs(path); },
    });

    EXPECT_TRUE(finished_);
    EXPECT_EQ(result, 1);
    EXPECT_FALSE(sheetSeen_);
    EXPECT_TRUE(system_.state().messages.empty());
    EXPECT_NE(GetFileAttributesA(path.c_str()), INVALID_FILE_ATTRIBUTES) << path;
    DWORD mode = 0;
    EXPECT_TRUE(testing::QueryDword(HKEY_CURRENT_USER, kProductKey, "WizardOrPanel", &mode));
    EXPECT_EQ(mode, 2u);
    DWORD type = 0;
    std::string remembered;
    EXPECT_TRUE(testing::QueryValue(HKEY_LOCAL_MACHINE,
                                    "SOFTWARE\\Orvane\\Color\\Monitor\\Monitor0", "Monitor Profile",
                                    &type, &remembered));
    EXPECT_NE(remembered.find(name), std::string::npos) << remembered;
    // The save dialog's buffers come from the same allocator: every block,
    // the session's included, is released once.
    EXPECT_EQ(system_.state().liveAllocations, 0);
    EXPECT_EQ(system_.state().releases, 2);
    DeleteFileA(path.c_str());
    DeleteFileA(installed.c_str());
    testing::RemoveAssociation(name);
}

// A display that, while the save dialog is open, comes to keep a table of its
// own is told on OK, as on Finish.
TEST_F(AppletRun, PanelOkTellsATableTheDisplayKeepsOut) {
    RememberMode(2);
    GammaRamp& held = display_.state().held;
    for (int i = 0; i < kRampEntries; ++i) {
        held.entries[i] = static_cast<uint16_t>((i % kRampSize) * 257);
    }
    display_.state().holdsTable = true;
    const std::string name = "tonalis-panel-refused.icc";
    const std::string path = TempPath(name);

    const int result = Run({[&] { return PressInPanel(IDOK); },
                            [&] {
                                if (FindSaveDialog() != nullptr) {
                                    // Another program's darker table, which the display now keeps.
                                    for (uint16_t& entry : held.entries) {
                                        entry /= 2;
                                    }
                                    display_.state().tables = testing::FakeTables::IgnoresAll;
                                }
                                return SaveAs(path);
                            }});

    EXPECT_TRUE(finished_);
    EXPECT_EQ(result, 1);
    ASSERT_EQ(system_.state().messages.size(), 1u);
    EXPECT_EQ(system_.state().messages[0].text, testing::LoadTestString(strings::kTableRefused));
    DeleteFileA(path.c_str());
    DeleteFileA((testing::LibraryColorDirectory() + name).c_str());
    testing::RemoveAssociation(name);
}

constexpr char kNotInstalled[] = "tonalis-not-installed.icc";

// A full disk in the colour directory: the copy is begun and cut short.
BOOL WINAPI FullDiskInstall(PCWSTR, PCWSTR) {
    std::ofstream(testing::LibraryColorDirectory() + kNotInstalled);
    return FALSE;
}

// Saved outside, into a colour directory that takes nothing: OK says so and
// stays, and the monitor keeps its remembered profile and associations.
TEST_F(AppletRun, PanelOkThatCannotInstallIsToldAndChangesNoRecord) {
    RememberMode(2);
    const char* monitorKey = "SOFTWARE\\Orvane\\Color\\Monitor\\Monitor0";
    testing::SetValue(HKEY_LOCAL_MACHINE, monitorKey, "Monitor Profile", REG_SZ, "C:\\a.icc", 9);
    testing::ScopedFakeProfileSystem install;
    install.state().replacedProcedure = "InstallColorProfileW";
    install.state().replacement =
        reinterpret_cast<FARPROC>(reinterpret_cast<void*>(FullDiskInstall));

    Run({[] { return PressInPanel(IDOK); }, [&] { return SaveAs(TempPath(kNotInstalled)); },
         [&] { return !system_.state().messages.empty() && PressInPanel(IDCANCEL); }});

    EXPECT_TRUE(finished_) << "the dialog closed without a message";
    const auto& shown = system_.state().messages;
    EXPECT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown.empty() ? "" : shown[0].text,
              testing::LoadTestString(strings::kProfileWriteError));
    std::string remembered;
    testing::QueryString(HKEY_LOCAL_MACHINE, monitorKey, "Monitor Profile", &remembered);
    EXPECT_EQ(remembered, "C:\\a.icc");
    EXPECT_EQ(GetFileAttributesA((testing::LibraryColorDirectory() + kNotInstalled).c_str()),
              INVALID_FILE_ATTRIBUTES)
        << "a partial copy";
    EXPECT_FALSE(testing::IsAssociated(kNotInstalled));
    DeleteFileA(TempPath(kNotInstalled).c_str());
}

TEST_F(AppletRun, PanelWizardButtonOpensTheDescriptionPageWithThePanelsChanges) {
    RememberMode(2);
    int chosenPhosphors = -1;
    std::string description;
    int firstPage = 0;
    bool welcomeCreated = true;
    int phosphorsShown = -2;

    int result = Run({
        [&] {
            HWND panel = FindPanel();
            if (panel == nullptr) {
                return false;
            }
            SetDlgItemTextA(panel, kDescriptionEdit, "Desk monitor, evening");
            HWND list = GetDlgItem(panel, kPhosphorList);
            chosenPhosphors = (static_cast<int>(SendMessageA(list, CB_GETCURSEL, 0, 0)) + 1) % 6;
            SendMessageA(list, CB_SETCURSEL, chosenPhosphors, 0);
            PostMessageA(panel, WM_COMMAND, MAKEWPARAM(kPhosphorList, CBN_SELCHANGE),
                         reinterpret_cast<LPARAM>(list));
            Click(panel, kPanelWizardButton);
            return true;
        },
        [&] {
            HWND sheet = FindSheet();
            if (sheet == nullptr) {
                return false;
            }
            HWND page = CurrentPage(sheet);
            firstPage = PageId(sheet, page);
            description = ControlText(page, kDescriptionEdit);
            welcomeCreated = SendMessageA(sheet, PSM_INDEXTOHWND, 0, 0) != 0;
            PostMessageA(sheet, PSM_SETCURSEL, 3, 0);  // the phosphors page
            return true;
        },
        [&] {
            HWND sheet = FindSheet();
            HWND page = sheet != nullptr ? CurrentPage(sheet) : nullptr;
            if (page == nullptr || PageId(sheet, page) != 311) {
                return false;
            }
            phosphorsShown =
                static_cast<int>(SendDlgItemMessageA(page, kPhosphorList, CB_GETCURSEL, 0, 0));
            PostMessageA(sheet, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
            return true;
        },
    });

    EXPECT_TRUE(finished_);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(firstPage, 303);
    EXPECT_FALSE(welcomeCreated);
    EXPECT_EQ(description, "Desk monitor, evening");
    EXPECT_EQ(phosphorsShown, chosenPhosphors);
    EXPECT_EQ(system_.state().releases, 1);
    EXPECT_EQ(system_.state().liveAllocations, 0);
}

// Presses the scripted button each time another page becomes current, and
// records the pages in the order they were shown.
class PageWalk {
  public:
    explicit PageWalk(std::vector<int> buttons) : buttons_(std::move(buttons)) {}
    bool Step() {
        HWND sheet = FindSheet();
        HWND page = sheet != nullptr ? CurrentPage(sheet) : nullptr;
        if (page == nullptr || page == lastPage_) {
            return false;
        }
        lastPage_ = page;
        pages_.push_back(PageId(sheet, page));
        PostMessageA(sheet, PSM_PRESSBUTTON, buttons_[pages_.size() - 1], 0);
        return pages_.size() == buttons_.size();
    }
    const std::vector<int>& pages() const { return pages_; }

  private:
    std::vector<int> buttons_;
    std::vector<int> pages_;
    HWND lastPage_ = nullptr;
};

TEST_F(AppletRun, WithoutALookupTableTheWhitePageLeadsStraightToTheFinish) {
    RememberMode(1);
    display_.state().failingReads = {0, 1, 2, 3, 4, 5, 6, 7};
    PageWalk walk({PSBTN_NEXT, PSBTN_NEXT, PSBTN_NEXT, PSBTN_NEXT, PSBTN_NEXT, PSBTN_NEXT,
                   PSBTN_BACK, PSBTN_CANCEL});

    int result = Run({[&] { return walk.Step(); }});

    EXPECT_TRUE(finished_);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(walk.pages(), (std::vector<int>{301, 303, 304, 311, 309, 305, 313, 305}));
    EXPECT_TRUE(display_.state().writes.empty()) << "a ramp was loaded without a lookup table";
    EXPECT_EQ(system_.state().releases, 1);
    EXPECT_EQ(system_.state().liveAllocations, 0);
}

// The test page, which no run shows, offers what the system was found to do.
TEST(TestPage, PreselectsWhetherTheSystemCanControlTheMonitor) {
    for (uint8_t canControl : {1, 0}) {
        auto session = testing::NewUiSession();
        session->workingSettings.hasGammaRamp = canControl;
        PROPSHEETPAGEA page = {};
        page.dwSize = sizeof page;
        page.hInstance = GetModuleHandleA(nullptr);
        page.pszTemplate = MAKEINTRESOURCEA(IDD_TEST_PAGE);
        page.pfnDlgProc = TNLTestDlg;
        page.lParam = reinterpret_cast<LPARAM>(session.get());
        PROPSHEETHEADERA header = {};
        header.dwSize = sizeof header;
        header.dwFlags = PSH_PROPSHEETPAGE | PSH_WIZARD | PSH_MODELESS;
        header.nPages = 1;
        header.ppsp = &page;
        HWND sheet = reinterpret_cast<HWND>(PropertySheetA(&header));
        const int answer = canControl ? IDC_TEST_CAN_CONTROL : IDC_TEST_CANNOT_CONTROL;
        EXPECT_EQ(IsDlgButtonChecked(CurrentPage(sheet), answer), 1u) << int(canControl);
        DestroyWindow(sheet);
    }
}

}  // namespace
}  // namespace tonalis
