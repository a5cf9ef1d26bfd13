// The open dialog's preview and veto with real files, the open and save
// dialogs run for real and driven from a timer, the save prompt, and the path
// helpers behind the dialogs.
#include <windows.h>

#include <commdlg.h>
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "applet_seams.h"
#include "dialog_driver.h"
#include "model/gamma_ramp.h"
#include "model/presets.h"
#include "model/wide_path_win32.h"
#include "model/platform.h"
#include "profile/load_monitor_profile.h"
#include "profile/registry.h"
#include "profile/save_monitor_profile.h"
#include "resources/resource.h"
#include "resources/string_ids.h"
#include "system_seams.h"
#include "ui/procedures.h"
#include "ui/profile_dialogs.h"
#include "ui/suggested_file_name.h"

namespace tonalis {
namespace {

using namespace testing;

constexpr char kWorking[] = "Working description";
constexpr char kSaved[] = "Dialog test profile";
// Thai and an emoji: a name outside code page 936 that the file system keeps.
constexpr char kUnicodeName[] = u8"\u0E17\u0E14\u0E2A\u0E2D\u0E1A\U0001F600.icc";

MonitorSettings Hdtv() {
    MonitorSettings s = {};
    GetPhosphorPreset(1, s.primaries);
    s.hardwareWhite = GetWhitePreset(2);
    for (int c = 0; c < 3; ++c) {
        s.gamma[c] = 2.2;
        s.gammaFactor[c] = 1.0;
    }
    s.whiteRgb = kFullPeaks;
    s.ramp = BuildGammaRamp(s.gamma, s.gammaFactor, s.whiteRgb);
    s.hasGammaRamp = 1;
    return s;
}

// A folder of the test's own with a saved profile and a file that is none.
class DialogFiles : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        char temp[MAX_PATH] = {};
        GetTempPathA(sizeof temp, temp);
        folder_ = std::string(temp) + "tnl-dialogs";
        CreateDirectoryA(folder_.c_str(), nullptr);
        ASSERT_EQ(SaveMonitorProfile("", Path("saved.icc").c_str(), kSaved, Hdtv(), true), 0);
        HANDLE file = CreateFileA(Path("notes.icc").c_str(), GENERIC_WRITE, 0, nullptr,
                                  CREATE_ALWAYS, 0, nullptr);
        DWORD written = 0;
        WriteFile(file, "not a profile", 13, &written, nullptr);
        CloseHandle(file);
    }
    static void TearDownTestSuite() {
        for (const char* name : {"saved.icc", "notes.icc", "new.icc", kUnicodeName}) {
            platform::RemoveFile(Path(name).c_str());
        }
        RemoveDirectoryA(folder_.c_str());
    }
    void SetUp() override {
        std::strcpy(session_->workingSettings.description, kWorking);
        std::strcpy(session_->workingSettings.profilePath, "D:\\Profiles\\a.icc");
        std::strcpy(session_->savedSettings.profilePath, Path("old.icc").c_str());
    }
    static std::string Path(const char* name) { return folder_ + "\\" + name; }

    static std::string folder_;
    std::unique_ptr<SessionContext> session_ = NewTestSession();
};

std::string DialogFiles::folder_;

// The parent file dialog as the hook sees it: the selected path, or a failure.
const char* g_selected = nullptr;

LRESULT CALLBACK FakeFileDialog(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != CDM_GETFILEPATH) {
        return DefWindowProcA(window, message, wParam, lParam);
    }
    if (g_selected == nullptr || std::strlen(g_selected) >= wParam) {
        return -1;
    }
    return MultiByteToWideChar(CP_UTF8, 0, g_selected, -1, reinterpret_cast<wchar_t*>(lParam),
                               static_cast<int>(wParam));
}

INT_PTR CALLBACK HookAsDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    return static_cast<INT_PTR>(TNLOpenfileHook(dialog, message, wParam, lParam));
}

TEST_F(DialogFiles, HookPreviewsAndRefusesWhatIsNoRgbMonitorProfile) {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = FakeFileDialog;
    windowClass.lpszClassName = "TnlFakeFileDialog";
    RegisterClassA(&windowClass);
    HWND parent = CreateWindowA("TnlFakeFileDialog", "", WS_POPUP, 0, 0, 400, 300, nullptr, nullptr,
                                nullptr, nullptr);
    OPENFILENAMEW dialog = {};
    dialog.lCustData = reinterpret_cast<LPARAM>(session_.get());
    HWND hook = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_OPEN_PREVIEW),
                                   parent, HookAsDialog, reinterpret_cast<LPARAM>(&dialog));
    EXPECT_EQ(ControlText(hook, IDC_OPEN_PREVIEW), kWorking);

    const std::string notRgb = LoadTestString(strings::kNotRgbMonitorProfile);
    const struct {
        std::string path;  // empty: the parent cannot give one
        std::string preview;
        bool refused;
    } cases[] = {
        {Path("saved.icc"), kSaved, false},
        {Path("notes.icc"), notRgb, true},
        {folder_, notRgb, true},
        {"Z:\\usr\\share\\color\\icc\\Gray.icc", notRgb, true},  // Debian's grey profile
        {"", LoadTestString(strings::kProfileDescriptionUnreadable), false},
    };
    for (const auto& c : cases) {
        g_selected = c.path.empty() ? nullptr : c.path.c_str();
        for (UINT code : {CDN_SELCHANGE, CDN_FILEOK}) {
            ScopedFakeSystem fake;
            SetDlgItemTextA(hook, IDC_OPEN_PREVIEW, "");
            OFNOTIFYW note = {{parent, 0, code}, &dialog, nullptr};
            SendMessageA(hook, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&note));
            // A folder is no file: selecting it says nothing.
            const bool silent = code == CDN_SELCHANGE && c.path == folder_;
            EXPECT_EQ(ControlText(hook, IDC_OPEN_PREVIEW), silent ? "" : c.preview) << c.path;
            const bool vetoed = code == CDN_FILEOK && c.refused;
            EXPECT_EQ(GetWindowLongPtrA(hook, DWLP_MSGRESULT), vetoed ? 1 : 0) << c.path;
            EXPECT_EQ(fake.state().messages.size(), vetoed ? 1u : 0u) << c.path;
            if (vetoed && !fake.state().messages.empty()) {
                EXPECT_EQ(fake.state().messages[0].text, notRgb);
            }
        }
    }
    DestroyWindow(parent);
    g_selected = nullptr;
}

// Types a path into the file dialog's name field (cmb13 in the Explorer style,
// edt1 before it) and presses OK.
void ChooseFile(HWND dialog, const std::string& path) {
    wchar_t wide[MAX_PATH] = {};
    MultiByteToWideChar(CP_UTF8, 0, path.c_str(), -1, wide, MAX_PATH);
    SetDlgItemTextW(dialog, cmb13, wide);
    SetDlgItemTextW(dialog, edt1, wide);
    PostMessageA(dialog, WM_COMMAND, IDOK, 0);
}

// The folder the file dialog shows, as UTF-8.
std::string FolderOf(HWND dialog) {
    wchar_t wide[MAX_PATH] = {};
    SendMessageW(dialog, CDM_GETFOLDERPATH, MAX_PATH, reinterpret_cast<LPARAM>(wide));
    char text[4 * MAX_PATH] = {};
    WideCharToMultiByte(CP_UTF8, 0, wide, -1, text, sizeof text, nullptr, nullptr);
    return text;
}

TEST_F(DialogFiles, CancelShowsNothingAndChangesNothing) {
    for (bool open : {true, false}) {
        ScopedFakeSystem fake;
        const SessionContext before = *session_;
        std::string title, name, folder;
        bool result = true;
        DriveDialogs(
            [&] {
                result = open ? OpenProfileDialog(nullptr, session_.get())
                              : SaveProfileDialog(nullptr, session_.get());
            },
            [&](HWND dialog) {
                if (dialog == nullptr) {
                    return false;
                }
                char text[MAX_PATH] = {};
                GetWindowTextA(dialog, text, sizeof text);
                title = text;
                folder = FolderOf(dialog);
                name = ControlText(dialog, cmb13) + ControlText(dialog, edt1);
                PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
                return true;
            });
        EXPECT_FALSE(result);
        EXPECT_STRCASEEQ(folder.c_str(), folder_.c_str());
        if (open) {
            EXPECT_EQ(title, LoadTestString(strings::kOpenProfileTitle));
        } else {
            // a.icc is no profile of Tonalis: a name from the description instead
            EXPECT_EQ(name, std::string(kWorking) + ".icc");
        }
        EXPECT_TRUE(fake.state().messages.empty());
        EXPECT_EQ(std::memcmp(&before, session_.get(), sizeof before), 0);
        EXPECT_EQ(fake.state().liveAllocations, 0);
    }
}

TEST_F(DialogFiles, OpenStaysOpenOnANonProfileThenLoadsAProfile) {
    ScopedFakeSystem fake;
    int step = 0;
    size_t shownBeforeSecondTry = 0;
    bool result = false;
    DriveDialogs([&] { result = OpenProfileDialog(nullptr, session_.get()); },
                 [&](HWND dialog) {
                     if (dialog == nullptr) {
                         return false;
                     }
                     if (step++ == 0) {
                         ChooseFile(dialog, Path("notes.icc"));
                         return false;
                     }
                     shownBeforeSecondTry = fake.state().messages.size();
                     ChooseFile(dialog, Path("saved.icc"));
                     return true;
                 });
    EXPECT_TRUE(result);
    EXPECT_EQ(shownBeforeSecondTry, 1u);
    ASSERT_EQ(fake.state().messages.size(), 1u);
    EXPECT_EQ(fake.state().messages[0].text, LoadTestString(strings::kNotRgbMonitorProfile));
    EXPECT_STREQ(session_->workingSettings.description, kSaved);
    EXPECT_STRCASEEQ(session_->workingSettings.profilePath, Path("saved.icc").c_str());
}

class DialogSaves : public DialogFiles, public ::testing::WithParamInterface<const char*> {};

TEST_P(DialogSaves, WriteTheChosenFileAndKeepTheSavedSettings) {
    ScopedFakeSystem fake;
    CleanProductKeys keys;
    const MonitorSettings saved = session_->savedSettings;
    session_->workingSettings = Hdtv();
    std::strcpy(session_->workingSettings.description, "Saved from the dialog");
    bool typed = false;
    bool result = false;
    DriveDialogs([&] { result = SaveProfileDialog(nullptr, session_.get()); },
                 [&](HWND dialog) {
                     if (dialog != nullptr && !typed) {
                         ChooseFile(dialog, Path(GetParam()));
                         typed = true;
                     } else if (dialog != nullptr) {
                         // The system asks whether to create the file.
                         PostMessageA(dialog, WM_COMMAND, IDYES, 0);
                     }
                     return false;
                 });
    EXPECT_TRUE(result);
    EXPECT_TRUE(fake.state().messages.empty());
    EXPECT_STRCASEEQ(session_->workingSettings.profilePath, Path(GetParam()).c_str());
    EXPECT_EQ(std::memcmp(&saved, &session_->savedSettings, sizeof saved), 0);
    // The registry gives back the path that the next run loads.
    ASSERT_EQ(WriteMonitorProfilePath(session_.get(), 0), 0);
    char registered[kProfilePathSize] = {};
    ASSERT_EQ(ReadMonitorProfilePath(0, registered, sizeof registered), 0);
    EXPECT_STREQ(registered, session_->workingSettings.profilePath);
    MonitorSettings loaded = {};
    ASSERT_EQ(LoadMonitorProfile(registered, &loaded), 0);
    EXPECT_STREQ(loaded.description, "Saved from the dialog");
}

INSTANTIATE_TEST_SUITE_P(Names, DialogSaves, ::testing::Values("new.icc", kUnicodeName));

// Both dialogs open in the colour folder, where the saved settings' profile
// lies, and take a name typed bare there: also in a 64-bit prefix, whose
// 32-bit processes see another system folder.
TEST(ColourFolderDialogs, OpenThereAndSaveThere) {
    ScopedFakeSystem fake;
    auto session = NewTestSession();
    const std::string folder = LibraryColorDirectory(), name = "tnl-in-colour-folder.icc";
    std::strcpy(session->savedSettings.profilePath, (folder + "x.icc").c_str());
    session->workingSettings = Hdtv();
    for (bool open : {false, true}) {
        SCOPED_TRACE(open ? "open" : "save");
        std::string shown;
        session->workingSettings.profilePath[0] = '\0';
        DriveDialogs(
            [&] {
                open ? OpenProfileDialog(nullptr, session.get())
                     : SaveProfileDialog(nullptr, session.get());
            },
            [&](HWND dialog) {
                if (dialog != nullptr && !shown.empty()) {
                    PostMessageA(dialog, WM_COMMAND, IDYES, 0);  // asked whether to create it
                } else if (dialog != nullptr) {
                    shown = FolderOf(dialog);
                    ChooseFile(dialog, name);
                }
                return false;
            });
        EXPECT_STRCASEEQ((shown + "\\").c_str(), folder.c_str());
        EXPECT_STRCASEEQ(session->workingSettings.profilePath, (folder + name).c_str());
    }
    DeleteFileA((folder + name).c_str());
}

// A folder of more than 1024 bytes in UTF-8: the name offered is still one
// that no file there has.
TEST(SuggestedName, SkipsATakenNameInALongFolder) {
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    const std::wstring outer = temp + std::wstring(200, L'\u4E2D');
    const std::wstring inner = outer + L"\\" + std::wstring(200, L'\u6587');
    CreateDirectoryW(outer.c_str(), nullptr);
    CreateDirectoryW(inner.c_str(), nullptr);
    const std::wstring taken = inner + L"\\Long folder.icc";
    CloseHandle(CreateFileW(taken.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    char folder[1500] = {}, name[kProfilePathSize] = {};
    NarrowPath(inner.c_str(), folder, sizeof folder);
    auto session = NewTestSession();
    std::strcpy(session->workingSettings.description, "Long folder");
    SuggestFileName(*session, folder, name, sizeof name);
    EXPECT_STREQ(name, "Long folder 2.icc") << std::strlen(folder) << "-byte folder";
    DeleteFileW(taken.c_str());
    RemoveDirectoryW(inner.c_str());
    RemoveDirectoryW(outer.c_str());
}

TEST(SaveWarning, ShowsTheNameAndAnswersWithTheButton) {
    std::string prompt = LoadTestString(strings::kSaveChangesPrompt);
    prompt.replace(prompt.find("%s"), 2, "Orvane.icc");
    const std::pair<int, INT_PTR> cases[] = {
        {IDC_SAVE_WARNING_SAVE, 2}, {IDC_SAVE_WARNING_DONT_SAVE, 3}, {IDCANCEL, 1}};
    for (const auto& [button, expected] : cases) {
        std::string shown;
        INT_PTR result = RunDialog(IDD_SAVE_WARNING, TNLSaveWarnDlg,
                                   reinterpret_cast<LPARAM>("Orvane.icc"), [&](HWND dialog) {
                                       if (dialog == nullptr) {
                                           return false;
                                       }
                                       shown = ControlText(dialog, IDC_SAVE_WARNING_TEXT);
                                       PressButton(dialog, button);
                                       return true;
                                   });
        EXPECT_EQ(result, expected) << button;
        EXPECT_EQ(shown, prompt);
    }
}

TEST(ProfilePaths, SplitAndCut) {
    const struct {
        const char* path;
        size_t size;
        const char* name;
        const char* folder;
    } cases[] = {
        {"D:\\Profiles\\a.icc", 260, "a.icc", "D:\\Profiles"},
        {"D:\\Profiles\\a.icc", 4, "a.i", "D:\\"},
        {"D:\\a.icc", 260, "a.icc", "D:\\"},
        {"\\\\server\\share\\b.icm", 260, "b.icm", "\\\\server\\share"},
        {"c.icc", 260, "c.icc", ""},
        {"D:\\Profiles\\a.icc", 1, "", ""},
        // A character of three bytes is never cut in two.
        {u8"D:\\中\\中.icc", 260, u8"中.icc", u8"D:\\中"},
        {u8"D:\\中\\中.icc", 6, u8"中.i", "D:\\"},
    };
    ASSERT_EQ(GetACP(), 936u);
    for (const auto& c : cases) {
        char name[260] = "untouched";
        char folder[260] = "untouched";
        PathFileName(c.path, name, c.size);
        PathDirectory(c.path, folder, c.size);
        EXPECT_STREQ(name, c.name) << c.path << " in " << c.size;
        EXPECT_STREQ(folder, c.folder) << c.path << " in " << c.size;
    }
}

}  // namespace
}  // namespace tonalis
