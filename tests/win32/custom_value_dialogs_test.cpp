// The custom white point and phosphor dialogs run modally from their real
// templates: a user types into the fields and presses OK; the test checks the
// message shown, the field that has the focus, and what was stored.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "applet_seams.h"
#include "dialog_driver.h"
#include "resources/resource.h"
#include "resources/string_ids.h"
#include "ui/custom_values.h"
#include "ui/procedures.h"

namespace tonalis {
namespace {

using namespace testing;

// What the user saw after pressing OK once.
struct Outcome {
    INT_PTR result = -2;
    std::vector<std::string> shownBefore;  // field texts when the dialog opened
    std::vector<std::string> shownAfter;   // field texts after OK
    std::vector<std::string> messages;
    int focus = 0;
};

// Types the texts (null leaves a field as it is), presses OK, and cancels a
// dialog that stays open after noting where the focus went.
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
                outcome.shownBefore.push_back(ControlText(dialog, fields[i]));
                if (texts[i] != nullptr) {
                    SetDlgItemTextA(dialog, fields[i], texts[i]);
                }
            }
            PressButton(dialog, IDOK);
            for (int field : fields) {
                outcome.shownAfter.push_back(ControlText(dialog, field));
            }
            if (!fake.state().messages.empty()) {
                outcome.focus = FocusedControl();
                PressButton(dialog, IDCANCEL);
            }
            return true;
        });
    for (const ShownMessage& message : fake.state().messages) {
        outcome.messages.push_back(message.text);
    }
    return outcome;
}

std::vector<std::string> MessageList(int id) {
    if (id == 0) {
        return {};
    }
    return {LoadTestString(id)};
}

struct WhiteCase {
    const char* name;
    int target;
    const char* x;
    const char* y;
    int message;
    int focus;
    Chromaticity stored;  // where the target ends up
};

constexpr Chromaticity kHardware = {0.2991, 0.3150};
constexpr Chromaticity kAdjusted = {0.3457, 0.3587};

class CustomWhite : public ::testing::TestWithParam<WhiteCase> {};

TEST_P(CustomWhite, ChecksInOrderAndStoresOnlyValidPoints) {
    const WhiteCase& c = GetParam();
    SessionHolder session = NewTestSession();
    session->customWhiteTarget = c.target;
    session->workingSettings.hardwareWhite = kHardware;
    session->workingSettings.adjustedWhite = kAdjusted;
    const int templateId = c.target == 1 ? IDD_CUSTOM_HARDWARE_WHITE : IDD_CUSTOM_ADJUSTED_WHITE;

    Outcome outcome = TypeAndPressOk(templateId, TNLCustomWhiteDlg, session.get(),
                                     {IDC_WHITE_X, IDC_WHITE_Y}, {c.x, c.y});

    EXPECT_EQ(outcome.messages, MessageList(c.message));
    EXPECT_EQ(outcome.result, c.message == 0 ? 0 : -1);
    if (c.message != 0) {
        EXPECT_EQ(outcome.focus, c.focus);
    }
    const Chromaticity& target = c.target == 1 ? session->workingSettings.hardwareWhite
                                               : session->workingSettings.adjustedWhite;
    const Chromaticity& other = c.target == 1 ? session->workingSettings.adjustedWhite
                                              : session->workingSettings.hardwareWhite;
    EXPECT_EQ(target.x, c.stored.x);
    EXPECT_EQ(target.y, c.stored.y);
    EXPECT_EQ(other.x, c.target == 1 ? kAdjusted.x : kHardware.x);
}

INSTANTIATE_TEST_SUITE_P(
    Entries, CustomWhite,
    ::testing::Values(
        WhiteCase{"D65", 1, "0.3128", "0.3292", 0, 0, {0.3128, 0.3292}},
        WhiteCase{"XJustBelowRange", 1, "0.2787", "0.3292", 3435, IDC_WHITE_X, kHardware},
        WhiteCase{"SumBeforeRange", 1, "0.6", "0.5", 3433, IDC_WHITE_X, kHardware},
        WhiteCase{"CommaDecimal", 1, "0,3128", "0.3292", 0, 0, {0.3128, 0.3292}},
        WhiteCase{"EmptyY", 1, "0.31", "", 3413, IDC_WHITE_Y, kHardware},
        WhiteCase{"NotANumber", 1, "0.3x", "0.3292", 3413, IDC_WHITE_X, kHardware},
        WhiteCase{"AboveOne", 1, "0.3128", "1.5", 3413, IDC_WHITE_Y, kHardware},
        WhiteCase{"AdjustedStoredApart", 2, "0.3128", "0.3292", 0, 0, {0.3128, 0.3292}},
        WhiteCase{"AdjustedRangeEdge", 2, "0.3621", "0.3709", 0, 0, {0.3621, 0.3709}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CustomWhiteFields, CommaBecomesFullStopInTheField) {
    SessionHolder session = NewTestSession();
    session->customWhiteTarget = 1;
    session->workingSettings.hardwareWhite = kHardware;
    Outcome outcome = TypeAndPressOk(IDD_CUSTOM_HARDWARE_WHITE, TNLCustomWhiteDlg, session.get(),
                                     {IDC_WHITE_X, IDC_WHITE_Y}, {"0,3128", "0,3292"});
    ASSERT_EQ(outcome.shownAfter.size(), 2u);
    EXPECT_EQ(outcome.shownAfter[0], "0.3128");
    EXPECT_EQ(outcome.shownAfter[1], "0.3292");
}

TEST(CustomWhiteFields, UncomputedAdjustedPointShowsTheHardwarePoint) {
    SessionHolder session = NewTestSession();
    session->workingSettings.hardwareWhite = {0.3127, 0.329};
    session->workingSettings.adjustedWhite = {0.0, 0.0};
    session->customWhiteTarget = 2;
    Outcome adjusted = TypeAndPressOk(IDD_CUSTOM_ADJUSTED_WHITE, TNLCustomWhiteDlg, session.get(),
                                      {IDC_WHITE_X, IDC_WHITE_Y}, {nullptr, nullptr});
    EXPECT_EQ(adjusted.shownBefore, (std::vector<std::string>{"0.3127", "0.3290"}));

    session->workingSettings.adjustedWhite = {0.0, 0.3};
    Outcome half = TypeAndPressOk(IDD_CUSTOM_ADJUSTED_WHITE, TNLCustomWhiteDlg, session.get(),
                                  {IDC_WHITE_X, IDC_WHITE_Y}, {nullptr, nullptr});
    EXPECT_EQ(half.shownBefore, (std::vector<std::string>{"0.0000", "0.3000"}));
}

TEST(CustomWhiteFields, EndsWithoutASession) {
    ScopedFakeSystem fake;
    EXPECT_EQ(RunDialog(IDD_CUSTOM_HARDWARE_WHITE, TNLCustomWhiteDlg, 0, [](HWND) { return true; }),
              -1);
    EXPECT_TRUE(fake.state().messages.empty());
}

struct PhosphorCase {
    const char* name;
    const char* texts[6];  // red x, red y, green x, green y, blue x, blue y
    int message;
    int focus;
};

// Trinitron: differs from every typed set in red, so a refusal that stored
// the red primary anyway would show.
constexpr Chromaticity kStartPrimaries[3] = {{0.625, 0.34}, {0.28, 0.595}, {0.155, 0.07}};

class CustomPhosphors : public ::testing::TestWithParam<PhosphorCase> {};

TEST_P(CustomPhosphors, ChecksEachPrimaryInTurnAndStoresAllOrNothing) {
    const PhosphorCase& c = GetParam();
    SessionHolder session = NewTestSession();
    for (int i = 0; i < 3; ++i) {
        session->workingSettings.primaries[i] = kStartPrimaries[i];
    }
    const std::vector<int> fields = {IDC_RED_X,   IDC_RED_Y,  IDC_GREEN_X,
                                     IDC_GREEN_Y, IDC_BLUE_X, IDC_BLUE_Y};
    Outcome outcome = TypeAndPressOk(IDD_CUSTOM_PHOSPHORS, TNLCustomPhosDlg, session.get(), fields,
                                     std::vector<const char*>(c.texts, c.texts + 6));

    EXPECT_EQ(outcome.shownBefore, (std::vector<std::string>{"0.6250", "0.3400", "0.2800", "0.5950",
                                                             "0.1550", "0.0700"}));
    EXPECT_EQ(outcome.messages, MessageList(c.message));
    EXPECT_EQ(outcome.result, c.message == 0 ? 0 : -1);
    for (int i = 0; i < 6; ++i) {
        const Chromaticity& p = session->workingSettings.primaries[i / 2];
        const double stored = i % 2 == 0 ? p.x : p.y;
        const Chromaticity& start = kStartPrimaries[i / 2];
        const double expected =
            c.message != 0 ? (i % 2 == 0 ? start.x : start.y) : std::strtod(c.texts[i], nullptr);
        EXPECT_EQ(stored, expected) << "field " << i;
    }
    if (c.message != 0) {
        EXPECT_EQ(outcome.focus, c.focus);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Entries, CustomPhosphors,
    ::testing::Values(
        PhosphorCase{"Hdtv", {"0.64", "0.33", "0.30", "0.60", "0.15", "0.06"}, 0, 0},
        // Green x small enough that the sum passes and the range refuses.
        PhosphorCase{"GreenYAboveRange",
                     {"0.64", "0.33", "0.12", "0.86", "0.15", "0.06"},
                     3436,
                     IDC_GREEN_X},
        PhosphorCase{
            "RedSumBeforeRange", {"0.8", "0.25", "0.30", "0.60", "0.15", "0.06"}, 3433, IDC_RED_Y},
        PhosphorCase{
            "BlueYZeroHasNoXyz", {"0.64", "0.33", "0.30", "0.60", "0.15", "0"}, 3436, IDC_BLUE_Y},
        PhosphorCase{"BlueYEmpty", {"0.64", "0.33", "0.30", "0.60", "0.15", ""}, 3413, IDC_BLUE_Y},
        PhosphorCase{"BlueRangeEdges", {"0.59", "0.40", "0.35", "0.5", "0.2", "0.12"}, 0, 0}),
    [](const auto& info) { return std::string(info.param.name); });

// A field text, whether it reads as a number and which, and the text left in
// the field after the read.
struct NumberCase {
    const char* typed;
    bool valid;
    double value;
    const char* fieldAfter;
};

TEST(NumberField, ReadsWholeDecimalNumbersOnly) {
    const NumberCase cases[] = {
        {"0.3128", true, 0.3128, "0.3128"},
        {"0,3128", true, 0.3128, "0.3128"},
        {".5", true, 0.5, ".5"},
        {"1", true, 1.0, "1"},
        {"-0.1", true, -0.1, "-0.1"},
        {"1,2,3", false, 0, "1.2,3"},
        {"", false, 0, ""},
        {"0.31 ", false, 0, "0.31 "},
        {"nan", false, 0, "nan"},
        {"0x1p-1", false, 0, "0x1p-1"},
        {".", false, 0, "."},
        {"0.312899", true, 0.31289, "0.312899"},
    };
    HWND parent =
        CreateWindowA("STATIC", "", WS_POPUP, 0, 0, 100, 20, nullptr, nullptr, nullptr, nullptr);
    HWND edit = CreateWindowA("EDIT", "", WS_CHILD, 0, 0, 100, 20, parent,
                              reinterpret_cast<HMENU>(IDC_WHITE_X), nullptr, nullptr);
    for (const NumberCase& c : cases) {
        SetWindowTextA(edit, c.typed);
        double value = -7;
        EXPECT_EQ(ReadNumberField(parent, IDC_WHITE_X, &value), c.valid) << c.typed;
        if (c.valid) {
            EXPECT_DOUBLE_EQ(value, c.value) << c.typed;
        }
        EXPECT_EQ(ControlText(parent, IDC_WHITE_X), c.fieldAfter) << c.typed;
    }
    ShowNumberField(parent, IDC_WHITE_X, 1.0 / 3);
    EXPECT_EQ(ControlText(parent, IDC_WHITE_X), "0.3333");
    EXPECT_EQ(SendMessageA(edit, EM_GETLIMITTEXT, 0, 0), 6);
    DestroyWindow(parent);
}

}  // namespace
}  // namespace tonalis
