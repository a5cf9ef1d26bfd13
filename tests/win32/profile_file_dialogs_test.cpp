// The open dialog's preview and veto with real files, the open and save
// dialogs run for real and driven from a timer, the save prompt, and the path
// helpers that fill the dialogs.
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
#include "profile/load_monitor_profile.h"
#include "profile/save_monitor_profile.h"
#include "resources/resource.h"
#include "resources/string_ids.h"
#include "ui/procedures.h"
#include "ui/profile_dialogs.h"

namespace tonalis {
namespace {

using namespace testing;

constexpr char kWorkingDescription[] = "Working description";
constexpr char kProfileDescription[] = "Dialog test profile";
constexpr char kGreyProfile[] = "Z:\\usr\\share\\color\\icc\\Gray.icc";

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

// A folder of its own in the temporary folder with a saved profile and a
// file that is none.
class DialogFiles : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        char temp[MAX_PATH] = {};
        GetTempPathA(sizeof temp, temp);
        folder_ = std::string(temp) + "tnl-dialogs";
        CreateDirectoryA(folder_.c_str(), nullptr);
        profile_ = folder_ + "\\saved.icc";
        text_ = folder_ + "\\notes.icc";
        ASSERT_EQ(SaveMonitorProfile("", profile_.c_str(), kProfileDescription, Hdtv(), true), 0);
        HANDLE file =
            CreateFileA(text_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        DWORD written = 0;
        WriteFile(file, "not a profile\r\n", 15, &written, nullptr);
        CloseHandle(file);
    }
    static void TearDownTestSuite() {
        for (const char* name : {"\\saved.icc", "\\notes.icc", "\\new.icc"}) {
            DeleteFileA((folder_ + name).c_str());
        }
        RemoveDirectoryA(folder_.c_str());
    }

    void SetUp() override {
        session_ = NewTestSession();
        std::strcpy(session_->workingSettings.description, kWorkingDescription);
        std::strcpy(session_->savedSettings.profilePath, (folder_ + "\\old.icc").c_str());
        session_->savedSettings.hardwareWhite = {0.31, 0.32};
        session_->workingSettings.hardwareWhite = {0.3128, 0.3292};
        std::strcpy(session_->workingSettings.profilePath, (folder_ + "\\old.icc").c_str());
    }

    static std::string folder_, profile_, text_;
    SessionHolder session_;
};

std::string DialogFiles::folder_, DialogFiles::profile_, DialogFiles::text_;

// The parent file dialog as the hook sees it: it gives the selected path, or
// fails when there is none.
const char* g_selectedPath = nullptr;

LRESULT CALLBACK FakeFileDialog(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != CDM_GETFILEPATH) {
        return DefWindowProcA(window, message, wParam, lParam);
    }
    if (g_selectedPath == nullptr) {
        return -1;
    }
    size_t size = std::strlen(g_selectedPath) + 1;
    if (size <= wParam) {
        std::memcpy(reinterpret_cast<char*>(lParam), g_selectedPath, size);
    }
    return static_cast<LRESULT>(size);
}

INT_PTR CALLBACK HookAsDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    return static_cast<INT_PTR>(TNLOpenfileHook(dialog, message, wParam, lParam));
}

// The hook in template 320 below a stand-in for the file dialog.
class OpenPreview : public DialogFiles {
  protected:
    void SetUp() override {
        DialogFiles::SetUp();
        WNDCLASSA windowClass = {};
        windowClass.lpfnWndProc = FakeFileDialog;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = "TnlFakeFileDialog";
        RegisterClassA(&windowClass);
        parent_ = CreateWindowA("TnlFakeFileDialog", "", WS_POPUP, 0, 0, 400, 300, nullptr, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
        dialog_.lStructSize = sizeof dialog_;
        dialog_.lCustData = reinterpret_cast<LPARAM>(session_.get());
        hook_ = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_OPEN_PREVIEW),
                                   parent_, HookAsDialog, reinterpret_cast<LPARAM>(&dialog_));
        ASSERT_NE(hook_, nullptr);
    }
    void TearDown() override {
        DestroyWindow(parent_);
        g_selectedPath = nullptr;
    }

    // Sends the notification with the path selected; the hook's answer.
    LRESULT Notify(UINT code, const char* path) {
        g_selectedPath = path;
        OFNOTIFYA note = {{parent_, 0, code}, &dialog_, nullptr};
        SendMessageA(hook_, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&note));
        return GetWindowLongPtrA(hook_, DWLP_MSGRESULT);
    }
    std::string Preview() const { return ControlText(hook_, IDC_OPEN_PREVIEW); }

    struct FileCase {
        const char* kind;
        std::string path;  // empty: the path cannot be had
        std::string preview;
        bool refused;
    };
    std::vector<FileCase> Cases() const {
        std::vector<FileCase> cases = {
            {"saved profile", profile_, kProfileDescription, false},
            {"text file", text_, LoadTestString(strings::kNotRgbMonitorProfile), true},
            {"folder", folder_, LoadTestString(strings::kNotRgbMonitorProfile), true},
            {"no path", "", LoadTestString(strings::kProfileDescriptionUnreadable), false},
        };
        if (GetFileAttributesA(kGreyProfile) != INVALID_FILE_ATTRIBUTES) {
            cases.push_back({"grey profile", kGreyProfile,
                             LoadTestString(strings::kNotRgbMonitorProfile), true});
        }
        return cases;
    }

    HWND parent_ = nullptr;
    HWND hook_ = nullptr;
    OPENFILENAMEA dialog_ = {};
};

TEST_F(OpenPreview, StartsWithTheWorkingDescription) {
    EXPECT_EQ(Preview(), kWorkingDescription);
}

TEST_F(OpenPreview, SelectionShowsTheDescriptionOrWhyThereIsNone) {
    ScopedFakeSystem fake;
    for (const FileCase& c : Cases()) {
        Notify(CDN_SELCHANGE, c.path.empty() ? nullptr : c.path.c_str());
        EXPECT_EQ(Preview(), c.preview) << c.kind;
    }
    EXPECT_TRUE(fake.state().messages.empty());
}

TEST_F(OpenPreview, OpenRefusesAFileThatIsNotAnRgbMonitorProfile) {
    for (const FileCase& c : Cases()) {
        ScopedFakeSystem fake;
        EXPECT_EQ(Notify(CDN_FILEOK, c.path.empty() ? nullptr : c.path.c_str()), c.refused ? 1 : 0)
            << c.kind;
        EXPECT_EQ(Preview(), c.preview) << c.kind;
        const std::vector<ShownMessage>& shown = fake.state().messages;
        ASSERT_EQ(shown.size(), c.refused ? 1u : 0u) << c.kind;
        if (c.refused) {
            EXPECT_EQ(shown[0].text, LoadTestString(strings::kNotRgbMonitorProfile));
            EXPECT_EQ(shown[0].caption, LoadTestString(strings::kProductName));
        }
    }
}

// Types a path into the file dialog's name field and presses its OK button.
void ChooseFile(HWND dialog, const std::string& path) {
    SetDlgItemTextA(dialog, cmb13, path.c_str());
    SetDlgItemTextA(dialog, edt1, path.c_str());
    PostMessageA(dialog, WM_COMMAND, IDOK, 0);
}

TEST_F(DialogFiles, CancelledOpenDialogShowsNothingAndChangesNothing) {
    ScopedFakeSystem fake;
    const SessionContext before = *session_;
    std::string title, preview, folder;
    bool result = true;
    DriveDialogs([&] { result = OpenProfileDialog(nullptr, session_.get()); },
                 [&](HWND dialog) {
                     if (dialog == nullptr) {
                         return false;
                     }
                     char text[MAX_PATH] = {};
                     GetWindowTextA(dialog, text, sizeof text);
                     title = text;
                     GetWindowTextA(FindDescendant(dialog, IDC_OPEN_PREVIEW), text, sizeof text);
                     preview = text;
                     SendMessageA(dialog, CDM_GETFOLDERPATH, sizeof text,
                                  reinterpret_cast<LPARAM>(text));
                     folder = text;
                     PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
                     return true;
                 });
    EXPECT_FALSE(result);
    EXPECT_EQ(title, LoadTestString(strings::kOpenProfileTitle));
    // Wine reports the open folder as the first selection, which is no profile.
    EXPECT_TRUE(preview == kWorkingDescription ||
                preview == LoadTestString(strings::kNotRgbMonitorProfile))
        << preview;
    EXPECT_STRCASEEQ(folder.c_str(), folder_.c_str());
    EXPECT_TRUE(fake.state().messages.empty());
    EXPECT_EQ(std::memcmp(&before, session_.get(), sizeof before), 0);
    EXPECT_EQ(fake.state().liveAllocations, 0);
}

TEST_F(DialogFiles, OpenDialogStaysOpenOnANonProfileAndLoadsAProfile) {
    ScopedFakeSystem fake;
    int step = 0;
    size_t messagesAfterRefusal = 0;
    bool result = false;
    DriveDialogs([&] { result = OpenProfileDialog(nullptr, session_.get()); },
                 [&](HWND dialog) {
                     if (dialog == nullptr) {
                         return false;
                     }
                     if (step++ == 0) {
                         ChooseFile(dialog, text_);
                         return false;
                     }
                     messagesAfterRefusal = fake.state().messages.size();
                     ChooseFile(dialog, profile_);
                     return true;
                 });
    EXPECT_TRUE(result);
    EXPECT_EQ(messagesAfterRefusal, 1u);
    ASSERT_EQ(fake.state().messages.size(), 1u);
    EXPECT_EQ(fake.state().messages[0].text, LoadTestString(strings::kNotRgbMonitorProfile));
    EXPECT_STREQ(session_->workingSettings.description, kProfileDescription);
    EXPECT_STRCASEEQ(session_->workingSettings.profilePath, profile_.c_str());
    EXPECT_NEAR(session_->workingSettings.hardwareWhite.x, 0.3128, 1e-4);
}

TEST_F(DialogFiles, SaveDialogWritesTheChosenFileAndKeepsTheSavedSettings) {
    ScopedFakeSystem fake;
    const MonitorSettings saved = session_->savedSettings;
    const std::string destination = folder_ + "\\new.icc";
    DeleteFileA(destination.c_str());
    session_->workingSettings = Hdtv();
    std::strcpy(session_->workingSettings.description, "Saved from the dialog");
    bool typed = false;
    bool result = false;
    DriveDialogs([&] { result = SaveProfileDialog(nullptr, session_.get()); },
                 [&](HWND dialog) {
                     if (dialog == nullptr) {
                         return false;
                     }
                     if (!typed) {
                         ChooseFile(dialog, destination);
                         typed = true;
                         return false;
                     }
                     // The system asks whether to create the file.
                     PostMessageA(dialog, WM_COMMAND, IDYES, 0);
                     return false;
                 });
    EXPECT_TRUE(result);
    EXPECT_TRUE(fake.state().messages.empty());
    EXPECT_STRCASEEQ(session_->workingSettings.profilePath, destination.c_str());
    EXPECT_EQ(std::memcmp(&saved, &session_->savedSettings, sizeof saved), 0);
    MonitorSettings loaded = {};
    ASSERT_EQ(LoadMonitorProfile(destination.c_str(), &loaded), 0);
    EXPECT_STREQ(loaded.description, "Saved from the dialog");
}

TEST_F(DialogFiles, CancelledSaveDialogShowsNothingAndChangesNothing) {
    ScopedFakeSystem fake;
    std::strcpy(session_->workingSettings.profilePath, "D:\\Profiles\\a.icc");
    const SessionContext before = *session_;
    std::string offeredName;
    bool result = true;
    DriveDialogs([&] { result = SaveProfileDialog(nullptr, session_.get()); },
                 [&](HWND dialog) {
                     if (dialog == nullptr) {
                         return false;
                     }
                     // The name field is cmb13 in later systems, edt1 in older ones.
                     offeredName = ControlText(dialog, cmb13) + ControlText(dialog, edt1);
                     PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
                     return true;
                 });
    EXPECT_FALSE(result);
    EXPECT_EQ(offeredName, "a.icc");
    EXPECT_TRUE(fake.state().messages.empty());
    EXPECT_EQ(std::memcmp(&before, session_.get(), sizeof before), 0);
}

TEST_F(DialogFiles, NoMemoryForTheBuffersIsReported) {
    ScopedFakeSystem fake;
    fake.state().allocationsToFail = 2;
    EXPECT_FALSE(OpenProfileDialog(nullptr, session_.get()));
    EXPECT_FALSE(SaveProfileDialog(nullptr, session_.get()));
    ASSERT_EQ(fake.state().messages.size(), 2u);
    EXPECT_EQ(fake.state().messages[0].text, LoadTestString(strings::kNoMemory));
    EXPECT_EQ(fake.state().messages[1].text, LoadTestString(strings::kNoMemory));
}

TEST(SaveWarning, ShowsTheNameAndAnswersWithTheButtonPressed) {
    std::string prompt = LoadTestString(strings::kSaveChangesPrompt);
    prompt.replace(prompt.find("%s"), 2, "Orvane.icc");
    const struct {
        int button;
        INT_PTR result;
    } cases[] = {{IDC_SAVE_WARNING_SAVE, 2}, {IDC_SAVE_WARNING_DONT_SAVE, 3}, {IDCANCEL, 1}};
    for (const auto& c : cases) {
        std::string shown;
        INT_PTR result = RunDialog(IDD_SAVE_WARNING, TNLSaveWarnDlg,
                                   reinterpret_cast<LPARAM>("Orvane.icc"), [&](HWND dialog) {
                                       if (dialog == nullptr) {
                                           return false;
                                       }
                                       shown = ControlText(dialog, IDC_SAVE_WARNING_TEXT);
                                       PressButton(dialog, c.button);
                                       return true;
                                   });
        EXPECT_EQ(result, c.result) << c.button;
        EXPECT_EQ(shown, prompt);
    }
    EXPECT_EQ(RunDialog(IDD_SAVE_WARNING, TNLSaveWarnDlg, 0, [](HWND) { return true; }), -1);
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
        {"", 260, "", ""},
        {"D:\\Profiles\\a.icc", 1, "", ""},
        // GBK text whose trail byte is a backslash: not a separator, never cut in two.
        {"D:\\\xB1\x5C\\\xB1\x5C.icc", 260, "\xB1\x5C.icc", "D:\\\xB1\x5C"},
        {"D:\\\xB1\x5C\\\xB1\x5C.icc", 5, "\xB1\x5C.i", "D:\\"},
    };
    for (const auto& c : cases) {
        if (GetACP() != 936 && std::strchr(c.path, '\xB1') != nullptr) {
            continue;  // only code page 936 reads these bytes as one character
        }
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
