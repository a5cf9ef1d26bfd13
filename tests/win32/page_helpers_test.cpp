// The shared page controllers, driven as a user would through the controls of
// the control-panel template: choosing from the lists, typing, pasting, and
// moving the window to another monitor.
#include <windows.h>
#include <commctrl.h>
#include <dlgs.h>

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <utility>

#include "applet_seams.h"
#include "dialog_driver.h"
#include "model/matching.h"
#include "resources/resource.h"
#include "resources/string_ids.h"
#include "system_seams.h"
#include "ui/controls.h"
#include "ui/page_helpers.h"

namespace tonalis {
namespace {

using namespace testing;

// Routes the notifications of the shared controls as the pages and the panel do.
INT_PTR CALLBACK HostProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        AttachSession(dialog, reinterpret_cast<SessionContext*>(lParam));
    }
    SessionContext* session = SessionOf(dialog);
    if (message != WM_COMMAND || session == nullptr) {
        return message == WM_INITDIALOG;
    }
    int id = LOWORD(wParam);
    int code = HIWORD(wParam);
    HWND list = reinterpret_cast<HWND>(lParam);
    if (id == IDC_DESCRIPTION && code == EN_UPDATE) {
        FilterDescriptionText(dialog);
    } else if (id == IDC_GAMMA_EDIT) {
        OnGammaEditNotification(dialog, session, code);
    } else if (code == CBN_SELCHANGE && id == IDC_PHOSPHOR_LIST) {
        ApplyPhosphorEntry(dialog, session, list);
    } else if (code == CBN_SELCHANGE && id == IDC_GAMMA_LIST) {
        ApplyGammaPreset(dialog, session, list);
    } else if (code == CBN_SELCHANGE) {
        ApplyWhiteEntry(dialog, session, list,
                        id == IDC_HARDWARE_WHITE_LIST ? kHardwareWhite : kAdjustedWhite);
    }
    return TRUE;
}

// 6500K, HDTV phosphors, gamma 2.2, no white point shift: a new monitor's record.
MonitorSettings NewMonitorSettings() {
    MonitorSettings s = {};
    lstrcpyA(s.description, "Orvane Monitor Profile");
    s.hardwareWhite = s.adjustedWhite = {0.3128, 0.3292};
    s.primaries[0] = {0.64, 0.33};
    s.primaries[1] = {0.30, 0.60};
    s.primaries[2] = {0.15, 0.06};
    s.whiteRgb = 0x00FFFFFF;
    s.hasGammaRamp = 1;
    for (int c = 0; c < 3; ++c) {
        s.gamma[c] = 2.2;
        s.gammaFactor[c] = 1.0;
    }
    return s;
}

class PageHelpers : public ::testing::Test {
  protected:
    void SetUp() override {
        INITCOMMONCONTROLSEX classes = {sizeof classes, ICC_BAR_CLASSES};
        InitCommonControlsEx(&classes);
        memset(session_.get(), 0, sizeof *session_);
        session_->instance = GetModuleHandleA(nullptr);
        session_->monitorCount = 1;
        session_->savedSettings = working() = session_->monitors[0] = NewMonitorSettings();
        dialog_ = CreateDialogParamA(session_->instance, MAKEINTRESOURCEA(IDD_PANEL), nullptr,
                                     HostProc, reinterpret_cast<LPARAM>(session_.get()));
        ASSERT_NE(dialog_, nullptr);
        session_->frameWindow = dialog_;
    }
    void TearDown() override { DestroyWindow(dialog_); }

    MonitorSettings& working() { return session_->workingSettings; }
    HWND control(int id) { return GetDlgItem(dialog_, id); }
    void Choose(int listId, int index) {
        SendMessageA(control(listId), CB_SETCURSEL, index, 0);
        SendMessageA(dialog_, WM_COMMAND, MAKEWPARAM(listId, CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(control(listId)));
    }
    // Choosing an entry that opens a modal dialog, which answer fills and closes.
    void Choose(int listId, int index, std::function<void(HWND)> answer) {
        bool answered = false;
        DriveDialogs([&] { Choose(listId, index); },
                     [&](HWND custom) {
                         if (custom != nullptr) {
                             answer(custom);
                             answered = true;
                         }
                         return answered;
                     });
        EXPECT_TRUE(answered) << "no dialog opened";
    }
    std::string Text(int id) {
        char text[300] = {};
        GetDlgItemTextA(dialog_, id, text, sizeof text);
        return text;
    }
    std::string Chosen(int listId) {
        char text[64] = {};
        int index = static_cast<int>(SendMessageA(control(listId), CB_GETCURSEL, 0, 0));
        SendMessageA(control(listId), CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text));
        return text;
    }
    std::pair<DWORD, DWORD> Selection(int id) {
        DWORD start = 0, end = 0;
        SendMessageA(control(id), EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                     reinterpret_cast<LPARAM>(&end));
        return {start, end};
    }
    std::vector<ShownMessage>& messages() { return system_.state().messages; }

    ScopedFakeSystem system_;
    ScopedFakeDisplaySystem display_;
    std::unique_ptr<SessionContext> session_ = std::make_unique<SessionContext>();
    HWND dialog_ = nullptr;
};

TEST_F(PageHelpers, TypedGammaIsAppliedAsTypedAndCheckedWhenLeft) {
    const int windows = strings::kFirstGammaPreset + 1, custom = strings::kCustomGamma;
    struct {
        const char *typed, *shown;
        double gamma;
        int list;
        bool refused;
    } cases[] = {
        {"2,4", "2.4", 2.4, custom, false},    {"", "2.20", 2.2, windows, true},
        {"0", "2.20", 2.2, windows, true},     {"3.8", "2.20", 2.2, windows, true},
        {"2.2x", "2.20", 2.2, windows, true},  {"3.75", "3.75", 3.75, custom, false},
        {"0.75", "0.75", 0.75, custom, false}, {"2.205", "2.205", 2.2, windows, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        working().gamma[0] = working().gamma[1] = working().gamma[2] = 2.2;
        InitGammaControls(dialog_, session_.get());
        SetFocus(control(IDC_DESCRIPTION));
        messages().clear();

        // Typed over the whole text: a valid value holds at once, a wrong one
        // waits for the field to be left.
        SendMessageA(control(IDC_GAMMA_EDIT), EM_SETSEL, 0, -1);
        SendMessageA(control(IDC_GAMMA_EDIT), EM_REPLACESEL, TRUE,
                     reinterpret_cast<LPARAM>(c.typed));
        EXPECT_TRUE(messages().empty());
        EXPECT_DOUBLE_EQ(working().gamma[0], c.gamma);
        EXPECT_EQ(LeaveGammaField(dialog_, session_.get()), !c.refused);
        ASSERT_EQ(messages().size(), c.refused ? 1u : 0u);
        if (c.refused) {
            EXPECT_EQ(messages()[0].owner, dialog_);
            EXPECT_EQ(messages()[0].text, LoadTestString(strings::kEnterGammaInRange));
            // The field shows the gamma in force, selected: nothing is left
            // to refuse as the focus moves on or the user goes on.
            EXPECT_EQ(GetFocus(), control(IDC_GAMMA_EDIT));
            EXPECT_EQ(Selection(IDC_GAMMA_EDIT), std::make_pair(DWORD(0), DWORD(4)));
            ShowWindow(dialog_, SW_SHOWNA);
            SetFocus(control(IDC_DESCRIPTION));
            OnGammaFieldLeft(dialog_, session_.get());
            EXPECT_TRUE(LeaveGammaField(dialog_, session_.get()));
            EXPECT_EQ(messages().size(), 1u);
        }
        EXPECT_EQ(Text(IDC_GAMMA_EDIT), c.shown);
        EXPECT_EQ(Chosen(IDC_GAMMA_LIST), LoadTestString(c.list));
        for (double gamma : working().gamma) {
            EXPECT_DOUBLE_EQ(gamma, c.gamma);
        }
    }
}

TEST_F(PageHelpers, GammaControlsFollowTheLookupTable) {
    struct {
        uint8_t hasGammaRamp;
        double gamma[3], factor[3];
        int minimum, maximum, red, green, blue;
        bool single;
    } cases[] = {
        {1, {2.2, 2.2, 2.2}, {0.5, 1.0, 2.0}, 0, 200, 0, 100, 200, false},
        {0, {1.8, 2.2, 2.5}, {1.0, 1.0, 1.0}, 75, 375, 180, 220, 250, false},
        {0, {1.8, 1.8, 1.8}, {0.5, 1.0, 2.0}, 75, 375, 180, 180, 180, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << int(c.hasGammaRamp) << " " << c.gamma[0]);
        working().hasGammaRamp = c.hasGammaRamp;
        memcpy(working().gamma, c.gamma, sizeof c.gamma);
        memcpy(working().gammaFactor, c.factor, sizeof c.factor);
        InitGammaControls(dialog_, session_.get());

        for (int id : {IDC_GAMMA_LABEL, IDC_GAMMA_LIST, IDC_GAMMA_EDIT}) {
            EXPECT_EQ(IsControlShown(dialog_, id), c.hasGammaRamp == 1) << id;
        }
        EXPECT_EQ(IsChecked(dialog_, IDC_SINGLE_GAMMA), c.single);
        EXPECT_EQ(IsControlShown(dialog_, IDC_GAMMA_SLIDER_LEFT), !c.single);
        const int sliders[][2] = {{IDC_GAMMA_SLIDER_LEFT, c.red},
                                  {IDC_GAMMA_SLIDER_CENTRE, c.green},
                                  {IDC_GAMMA_SLIDER_RIGHT, c.blue}};
        for (const auto& s : sliders) {
            int minimum = 0, maximum = 0;
            GetSliderRange(control(s[0]), &minimum, &maximum);
            EXPECT_EQ(std::make_pair(minimum, maximum), std::make_pair(c.minimum, c.maximum));
            EXPECT_EQ(SliderPosition(control(s[0])), s[1]) << s[0];
        }
        EXPECT_TRUE(messages().empty());
    }
}

TEST_F(PageHelpers, GammaPresetsAndAShownGammaLeaveTheListAlone) {
    InitGammaControls(dialog_, session_.get());
    Choose(IDC_GAMMA_LIST, 0);
    EXPECT_EQ(Text(IDC_GAMMA_EDIT), "1.80");
    EXPECT_DOUBLE_EQ(working().gamma[0], 1.8);
    EXPECT_DOUBLE_EQ(working().gamma[2], 1.8);

    // A load puts 2.5 in the field but leaves the list on the preset chosen.
    working().gamma[0] = working().gamma[1] = working().gamma[2] = 2.5;
    ShowTargetGamma(dialog_, session_.get(), control(IDC_GAMMA_LIST), false);
    EXPECT_EQ(Text(IDC_GAMMA_EDIT), "2.50");
    EXPECT_EQ(Chosen(IDC_GAMMA_LIST), LoadTestString(strings::kFirstGammaPreset));
    EXPECT_TRUE(messages().empty());
}

TEST_F(PageHelpers, PhosphorListSetsPrimariesAndACancelledCustomEntryShowsThemAgain) {
    FillPhosphorList(dialog_, session_.get());
    EXPECT_EQ(Chosen(IDC_PHOSPHOR_LIST), "HDTV (CCIR 709)");
    Choose(IDC_PHOSPHOR_LIST, 2);
    EXPECT_DOUBLE_EQ(working().primaries[0].x, 0.67);
    EXPECT_DOUBLE_EQ(working().primaries[1].y, 0.71);
    EXPECT_DOUBLE_EQ(working().primaries[2].y, 0.08);

    Choose(IDC_PHOSPHOR_LIST, 6, [](HWND custom) { PressButton(custom, IDCANCEL); });
    EXPECT_EQ(Chosen(IDC_PHOSPHOR_LIST), "NTSC (1953)");
}

TEST_F(PageHelpers, WhiteListsSetWhitePointsAndChannelPeaks) {
    FillWhiteList(dialog_, session_.get(), IDC_HARDWARE_WHITE_LIST, kHardwareWhite);
    FillWhiteList(dialog_, session_.get(), IDC_ADJUSTED_WHITE_LIST, kAdjustedWhite);
    EXPECT_EQ(Chosen(IDC_HARDWARE_WHITE_LIST), LoadTestString(strings::kFirstWhitePreset + 2));
    EXPECT_EQ(Chosen(IDC_ADJUSTED_WHITE_LIST), LoadTestString(strings::kSameAsHardware));

    Choose(IDC_ADJUSTED_WHITE_LIST, 1);  // 5000K on a 6500K monitor: less blue
    EXPECT_DOUBLE_EQ(working().adjustedWhite.x, 0.3457);
    const uint32_t warm = working().whiteRgb;
    EXPECT_LT(warm >> 16 & 0xFF, 255u);
    EXPECT_TRUE((warm & 0xFF) == 255 || (warm >> 8 & 0xFF) == 255) << std::hex << warm;

    Choose(IDC_HARDWARE_WHITE_LIST, 4);  // 5000K kept on a cooler monitor: still less blue
    EXPECT_DOUBLE_EQ(working().hardwareWhite.x, 0.2831);
    EXPECT_DOUBLE_EQ(working().adjustedWhite.x, 0.3457);
    EXPECT_LT(working().whiteRgb >> 16 & 0xFF, warm >> 16 & 0xFF);

    Choose(IDC_ADJUSTED_WHITE_LIST, 0);
    EXPECT_DOUBLE_EQ(working().adjustedWhite.y, 0.2970);
    EXPECT_EQ(working().whiteRgb, 0x00FFFFFFu);

    // A custom adjusted white that is a preset after all shows as that preset.
    Choose(IDC_ADJUSTED_WHITE_LIST, 6, [](HWND custom) {
        SetDlgItemTextA(custom, IDC_WHITE_X, "0,3457");
        SetDlgItemTextA(custom, IDC_WHITE_Y, "0.3587");
        PressButton(custom, IDOK);
    });
    EXPECT_EQ(session_->customWhiteTarget, kAdjustedWhite);
    EXPECT_EQ(Chosen(IDC_ADJUSTED_WHITE_LIST), LoadTestString(strings::kFirstWhitePreset));
    EXPECT_LT(working().whiteRgb >> 16 & 0xFF, 255u);
}

TEST_F(PageHelpers, DescriptionKeepsEveryCharacterButControlsAndTheCaretFollows) {
    MakeDescriptionFieldWide(dialog_);
    struct {
        const wchar_t* before;
        DWORD caret;
        const wchar_t *pasted, *after;
        DWORD caretAfter;
    } cases[] = {{L"", 0, L"aé 😀b", L"aé 😀b", 6},
                 {L"abc", 1, L"\r\n\t", L"abc", 1},
                 {L"abc", 3, L" 显\u0085示", L"abc 显示", 6}};
    for (const auto& c : cases) {
        SetWindowTextW(control(IDC_DESCRIPTION), c.before);
        SendMessageW(control(IDC_DESCRIPTION), EM_SETSEL, c.caret, c.caret);
        SendMessageW(control(IDC_DESCRIPTION), EM_REPLACESEL, TRUE,
                     reinterpret_cast<LPARAM>(c.pasted));
        wchar_t text[32] = {};
        GetWindowTextW(control(IDC_DESCRIPTION), text, 32);
        EXPECT_EQ(std::wstring(text), c.after) << c.caret;
        EXPECT_EQ(Selection(IDC_DESCRIPTION), std::make_pair(c.caretAfter, c.caretAfter));
    }
}

TEST_F(PageHelpers, LoadingOverChangesAsksFirst) {
    working().gamma[1] = 2.4;
    system_.state().messageBoxAnswer = IDNO;
    LoadProfileWithPrompt(dialog_, session_.get());
    ASSERT_EQ(messages().size(), 1u);
    EXPECT_EQ(messages()[0].owner, dialog_);
    EXPECT_EQ(messages()[0].text, LoadTestString(strings::kLoadLosesChanges));
    EXPECT_EQ(messages()[0].style, UINT(MB_YESNO | MB_DEFBUTTON2));
    EXPECT_DOUBLE_EQ(session_->savedSettings.gamma[1], 2.2);

    // Yes, and a profile chosen: it becomes the unchanged state.
    system_.state().messageBoxAnswer = IDYES;
    DriveDialogs([&] { LoadProfileWithPrompt(dialog_, session_.get()); },
                 [](HWND open) {
                     SetDlgItemTextA(open, cmb13, SampleProfilePath().c_str());
                     SetDlgItemTextA(open, edt1, SampleProfilePath().c_str());
                     return open != nullptr && PostMessageA(open, WM_COMMAND, IDOK, 0);
                 });
    EXPECT_EQ(messages().size(), 2u);
    EXPECT_TRUE(SettingsEqual(session_->savedSettings, working()));
    EXPECT_STRNE(working().description, "Orvane Monitor Profile");
    EXPECT_EQ(Text(IDC_DESCRIPTION), working().description);
}

TEST_F(PageHelpers, MovingToAnotherMonitorTakesItsSettingsUnlessChanged) {
    ScopedFakeDesktop desktop({{{0, 0, 1000, 800}, "\\\\.\\FAKE_A", true},
                               {{1000, 0, 2000, 800}, "\\\\.\\FAKE_B", false}},
                              2);
    session_->monitorCount = 2;
    session_->monitors[1] = NewMonitorSettings();
    lstrcpyA(session_->monitors[0].deviceName, "\\\\.\\FAKE_A");
    lstrcpyA(session_->monitors[1].deviceName, "\\\\.\\FAKE_B");
    lstrcpyA(session_->monitors[1].description, "second monitor");
    for (bool changed : {false, true}) {
        SCOPED_TRACE(changed ? "changed" : "unchanged");
        session_->currentMonitor = 0;
        session_->savedSettings = working() = session_->monitors[0];
        working().gamma[1] = changed ? 2.4 : 2.2;
        MoveWindow(dialog_, 100, 100, 300, 200, FALSE);
        EXPECT_FALSE(SyncToWindowMonitor(session_.get()));

        MoveWindow(dialog_, 1100, 100, 300, 200, FALSE);
        EXPECT_TRUE(SyncToWindowMonitor(session_.get()));
        EXPECT_EQ(session_->currentMonitor, 1);
        EXPECT_STREQ(working().description, changed ? "Orvane Monitor Profile" : "second monitor");
        EXPECT_DOUBLE_EQ(working().gamma[1], changed ? 2.4 : 2.2);
        EXPECT_EQ(SettingsEqual(session_->savedSettings, working()), !changed);
    }
    // The adjusted white list and its label follow the table of the monitor.
    session_->monitors[1].hasGammaRamp = 0;
    session_->currentMonitor = 0;
    session_->savedSettings = working() = session_->monitors[0];
    for (int left : {1100, 100}) {
        MoveWindow(dialog_, left, 100, 300, 200, FALSE);
        SyncToWindowMonitor(session_.get());
        FillAdjustedWhiteList(dialog_, session_.get());
        EXPECT_EQ(IsControlShown(dialog_, IDC_ADJUSTED_WHITE_LABEL), left == 100);
        EXPECT_EQ(IsControlShown(dialog_, IDC_ADJUSTED_WHITE_LIST), left == 100);
    }
}

}  // namespace
}  // namespace tonalis
