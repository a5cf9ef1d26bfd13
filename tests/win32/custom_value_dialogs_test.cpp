// The custom white point and phosphor dialogs, run modally from their real
// templates: the user types, presses OK, and sees a message with the focus on
// the field to correct, or the values are stored.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "applet_seams.h"
#include "dialog_driver.h"
#include "resources/resource.h"
#include "ui/procedures.h"

namespace tonalis {
namespace {

using namespace testing;

struct Outcome {
    INT_PTR result = -2;
    std::vector<std::string> messages;
    int focus = 0;
};

// Types the texts (null keeps what the field shows) and presses OK; a dialog
// that stays open is cancelled once the focus has been noted.
Outcome TypeAndPressOk(int templateId, DLGPROC procedure, SessionContext* session,
                       const std::vector<int>& fields, const std::vector<const char*>& texts) {
    ScopedFakeSystem fake;
    Outcome outcome;
    outcome.result =
        RunDialog(templateId, procedure, reinterpret_cast<LPARAM>(session), [&](HWND dialog) {
            if (dialog == nullptr) {
                return false;
            }
            for (size_t i = 0; i < fields.size(); ++i) {
                if (texts[i] != nullptr) {
                    // As a paste over everything, which the field's limit cuts.
                    SendDlgItemMessageA(dialog, fields[i], EM_SETSEL, 0, -1);
                    SendDlgItemMessageA(dialog, fields[i], EM_REPLACESEL, TRUE,
                                        reinterpret_cast<LPARAM>(texts[i]));
                }
            }
            PressButton(dialog, IDOK);
            if (!fake.state().messages.empty()) {
                outcome.focus = GetDlgCtrlID(GetFocus());
                PressButton(dialog, IDCANCEL);
            }
            return true;
        });
    for (const ShownMessage& message : fake.state().messages) {
        outcome.messages.push_back(message.text);
    }
    return outcome;
}

std::vector<std::string> Shown(int messageId) {
    return messageId == 0 ? std::vector<std::string>{} : std::vector{LoadTestString(messageId)};
}

constexpr Chromaticity kHardware = {0.2991, 0.3150};
constexpr Chromaticity kAdjusted = {0.3457, 0.3587};

struct WhiteCase {
    const char* name;
    int target;  // 1 hardware, 2 adjusted
    Chromaticity adjustedBefore;
    const char* x;
    const char* y;
    int message;
    int focus;
    Chromaticity stored;  // the target afterwards
};

class CustomWhite : public ::testing::TestWithParam<WhiteCase> {};

TEST_P(CustomWhite, RefusesWithMessageAndFocusOrStores) {
    const WhiteCase& c = GetParam();
    auto session = NewTestSession();
    session->customWhiteTarget = c.target;
    session->workingSettings.hardwareWhite = kHardware;
    session->workingSettings.adjustedWhite = c.adjustedBefore;

    Outcome outcome =
        TypeAndPressOk(c.target == 1 ? IDD_CUSTOM_HARDWARE_WHITE : IDD_CUSTOM_ADJUSTED_WHITE,
                       TNLCustomWhiteDlg, session.get(), {IDC_WHITE_X, IDC_WHITE_Y}, {c.x, c.y});

    EXPECT_EQ(outcome.messages, Shown(c.message));
    EXPECT_EQ(outcome.focus, c.focus);
    EXPECT_EQ(outcome.result, c.message == 0 ? 0 : -1);
    const MonitorSettings& s = session->workingSettings;
    const Chromaticity& target = c.target == 1 ? s.hardwareWhite : s.adjustedWhite;
    EXPECT_EQ(target.x, c.stored.x);
    EXPECT_EQ(target.y, c.stored.y);
    if (c.target == 2) {
        EXPECT_EQ(s.hardwareWhite.x, kHardware.x);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Entries, CustomWhite,
    ::testing::Values(
        WhiteCase{"D65", 1, kAdjusted, "0.3128", "0.3292", 0, 0, {0.3128, 0.3292}},
        WhiteCase{"XBelowRange", 1, kAdjusted, "0.2787", "0.3292", 3435, IDC_WHITE_X, kHardware},
        WhiteCase{"SumBeforeRange", 1, kAdjusted, "0.6", "0.5", 3433, IDC_WHITE_X, kHardware},
        WhiteCase{"Comma", 1, kAdjusted, "0,3128", "0.3292", 0, 0, {0.3128, 0.3292}},
        WhiteCase{"SixCharacters", 1, kAdjusted, "0.31289", "0.32929", 0, 0, {0.3128, 0.3292}},
        WhiteCase{"EmptyY", 1, kAdjusted, "0.31", "", 3413, IDC_WHITE_Y, kHardware},
        WhiteCase{"Adjusted", 2, kAdjusted, "0.3128", "0.3292", 0, 0, {0.3128, 0.3292}},
        // Never computed: the fields show the hardware point, which OK keeps.
        WhiteCase{"AdjustedUnset", 2, {0.0, 0.0}, nullptr, nullptr, 0, 0, kHardware}),
    [](const auto& info) { return std::string(info.param.name); });

struct PhosphorCase {
    const char* name;
    const char* texts[6];  // red x, red y, green x, green y, blue x, blue y
    int message;
    int focus;
};

// Trinitron; every typed set differs from it in red, so a refused entry
// that stored red anyway would show.
constexpr Chromaticity kStart[3] = {{0.625, 0.34}, {0.28, 0.595}, {0.155, 0.07}};

class CustomPhosphors : public ::testing::TestWithParam<PhosphorCase> {};

TEST_P(CustomPhosphors, StoresAllThreeOrNothing) {
    const PhosphorCase& c = GetParam();
    auto session = NewTestSession();
    std::copy(kStart, kStart + 3, session->workingSettings.primaries);

    Outcome outcome =
        TypeAndPressOk(IDD_CUSTOM_PHOSPHORS, TNLCustomPhosDlg, session.get(),
                       {IDC_RED_X, IDC_RED_Y, IDC_GREEN_X, IDC_GREEN_Y, IDC_BLUE_X, IDC_BLUE_Y},
                       std::vector<const char*>(c.texts, c.texts + 6));

    EXPECT_EQ(outcome.messages, Shown(c.message));
    EXPECT_EQ(outcome.focus, c.focus);
    EXPECT_EQ(outcome.result, c.message == 0 ? 0 : -1);
    for (int i = 0; i < 6; ++i) {
        const Chromaticity& stored = session->workingSettings.primaries[i / 2];
        const double expected = c.message != 0 ? (i % 2 ? kStart[i / 2].y : kStart[i / 2].x)
                                               : std::strtod(c.texts[i], nullptr);
        EXPECT_EQ(i % 2 ? stored.y : stored.x, expected) << "field " << i;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Entries, CustomPhosphors,
    ::testing::Values(
        PhosphorCase{"Hdtv", {"0.64", "0.33", "0.30", "0.60", "0.15", "0.06"}, 0, 0},
        // Green x small enough for the sum to pass and the range to refuse.
        PhosphorCase{"GreenY", {"0.64", "0.33", "0.12", "0.86", "0.15", "0.06"}, 3436, IDC_GREEN_X},
        PhosphorCase{"RedSum", {"0.8", "0.25", "0.30", "0.60", "0.15", "0.06"}, 3433, IDC_RED_Y},
        PhosphorCase{"BlueYZero", {"0.64", "0.33", "0.30", "0.60", "0.15", "0"}, 3436, IDC_BLUE_Y},
        PhosphorCase{
            "BlueYText", {"0.64", "0.33", "0.30", "0.60", "0.15", "0.O6"}, 3413, IDC_BLUE_Y}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tonalis
