// Dialog templates: each one opens with the title the user reads, holds every
// control the code drives under the expected id and kind, starts with the
// right controls hidden, and lays its visible controls out without overlaps
// and with room for their texts.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <string>
#include <vector>

#include "resources/resource.h"

namespace tonalis {
namespace {

const char kStatic[] = "Static";
const char kButton[] = "Button";
const char kEdit[] = "Edit";
const char kList[] = "ComboBox";
const char kSlider[] = "msctls_trackbar32";

struct Control {
    int id;
    const char* kind;
};

struct Template {
    int id;
    const wchar_t* title;
    std::vector<Control> controls;
    std::vector<int> hidden;  // controls that start hidden
};

const std::vector<Control> kGammaControls = {
    {IDC_SINGLE_GAMMA, kButton},       {IDC_GAMMA_PATCH_LEFT, kStatic},
    {IDC_GAMMA_PATCH_CENTRE, kStatic}, {IDC_GAMMA_PATCH_RIGHT, kStatic},
    {IDC_GAMMA_SLIDER_LEFT, kSlider},  {IDC_GAMMA_SLIDER_CENTRE, kSlider},
    {IDC_GAMMA_SLIDER_RIGHT, kSlider}, {IDC_GAMMA_LABEL, kStatic},
    {IDC_GAMMA_LIST, kList},           {IDC_GAMMA_EDIT, kEdit},
    {IDC_FINE_TUNE, kButton},
};
const std::vector<int> kSideGamma = {IDC_GAMMA_PATCH_LEFT, IDC_GAMMA_SLIDER_LEFT,
                                     IDC_GAMMA_PATCH_RIGHT, IDC_GAMMA_SLIDER_RIGHT};

std::vector<Control> Join(std::vector<Control> a, const std::vector<Control>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

const wchar_t kWizardTitle[] = L"Tonalis 设定精灵";

const std::vector<Template> kTemplates = {
    {IDD_SAVE_WARNING,
     L"Tonalis",
     {{IDC_SAVE_WARNING_TEXT, kStatic},
      {IDC_SAVE_WARNING_ICON, kStatic},
      {IDC_SAVE_WARNING_SAVE, kButton},
      {IDC_SAVE_WARNING_DONT_SAVE, kButton},
      {IDCANCEL, kButton}},
     {}},
    {IDD_TEST_PAGE,
     L"撷取系统设定",
     {{IDC_WIZARD_PICTURE, kStatic},
      {IDC_TEST_INTRO, kStatic},
      {IDC_TEST_CHOOSE, kStatic},
      {IDC_TEST_GROUP, kButton},
      {IDC_TEST_CAN_CONTROL, kButton},
      {IDC_TEST_CANNOT_CONTROL, kButton}},
     {}},
    {IDD_WELCOME,
     L"Tonalis",
     {{IDC_WIZARD_PICTURE, kStatic},
      {IDC_WELCOME_INTRO, kStatic},
      {IDC_CHOOSE_WIZARD, kButton},
      {IDC_CHOOSE_PANEL, kButton},
      {IDC_PLACE_ON_MONITOR, kStatic}},
     {}},
    {IDD_DESCRIPTION,
     kWizardTitle,
     {{IDC_WIZARD_PICTURE, kStatic},
      {IDC_DESCRIPTION_INTRO, kStatic},
      {IDC_DESCRIPTION_LABEL, kStatic},
      {IDC_DESCRIPTION, kEdit},
      {IDC_LOAD_INTRO, kStatic},
      {IDC_LOAD, kButton}},
     {}},
    {IDD_BRIGHTNESS,
     kWizardTitle,
     {{IDC_WIZARD_PICTURE, kStatic},
      {IDC_BRIGHTNESS_INTRO, kStatic},
      {IDC_BRIGHTNESS_ICON_CONTRAST, kStatic},
      {IDC_BRIGHTNESS_ICON_BRIGHT, kStatic},
      {IDC_BRIGHTNESS_PATTERN, kStatic}},
     {}},
    {IDD_HARDWARE_WHITE,
     kWizardTitle,
     {{IDC_WIZARD_PICTURE, kStatic},
      {IDC_HARDWARE_WHITE_INTRO, kStatic},
      {IDC_HARDWARE_WHITE_HELP, kStatic},
      {IDC_HARDWARE_WHITE_LIST, kList},
      {IDC_MEASURE, kButton}},
     {}},
    {IDD_WHITE_INSTRUCTIONS_UNUSED,
     kWizardTitle,
     {{IDC_WIZARD_PICTURE, kStatic}, {IDOK, kButton}, {IDCANCEL, kButton}},
     {}},
    {IDD_GAMMA, kWizardTitle,
     Join({{IDC_WIZARD_PICTURE, kStatic},
           {IDC_GAMMA_INTRO, kStatic},
           {IDC_CHOOSE_GAMMA_LABEL, kStatic}},
          kGammaControls),
     kSideGamma},
    {IDD_PHOSPHORS,
     kWizardTitle,
     {{IDC_WIZARD_PICTURE, kStatic},
      {IDC_PHOSPHOR_INTRO, kStatic},
      {IDC_PHOSPHOR_LABEL, kStatic},
      {IDC_PHOSPHOR_LIST, kList}},
     {}},
    {IDD_FINISH_COMPARE,
     kWizardTitle,
     {{IDC_WIZARD_PICTURE, kStatic},
      {IDC_BEFORE, kButton},
      {IDC_AFTER, kButton},
      {IDC_DEFAULT_PROFILE, kButton},
      {IDC_LOAD_AT_LOGON, kButton}},
     {}},
    {IDD_FINISH_PLAIN,
     kWizardTitle,
     {{IDC_WIZARD_PICTURE, kStatic}, {IDC_FINISH_INTRO, kStatic}, {IDC_DEFAULT_PROFILE, kButton}},
     {}},
    {IDD_PICTURE_ONLY,
     kWizardTitle,
     {{IDC_WIZARD_PICTURE, kStatic}, {IDC_PICTURE_DRAWN, kStatic}},
     {}},
    {IDD_CUSTOM_HARDWARE_WHITE,
     L"自订硬件最亮点",
     {{IDC_X_LABEL, kStatic},
      {IDC_WHITE_X, kEdit},
      {IDC_WHITE_Y, kEdit},
      {IDOK, kButton},
      {IDCANCEL, kButton}},
     {}},
    {IDD_FINE_TUNE,
     L"细调伽玛",
     {{IDC_FINE_INTRO, kStatic},
      {IDC_FINE_CHANNEL, kList},
      {IDC_FINE_PATCH_QUARTER, kStatic},
      {IDC_FINE_PATCH_THREE_QUARTERS, kStatic},
      {IDC_FINE_PATCH_BLACK, kStatic},
      {IDC_FINE_PATCH_WHITE, kStatic},
      {IDC_FINE_SLIDER_QUARTER, kSlider},
      {IDC_FINE_SLIDER_WHITE, kSlider}},
     {}},
    {IDD_CUSTOM_PHOSPHORS,
     L"自订萤光剂",
     {{IDC_X_LABEL, kStatic},
      {IDC_Y_LABEL, kStatic},
      {IDC_RED_LABEL, kStatic},
      {IDC_GREEN_LABEL, kStatic},
      {IDC_BLUE_LABEL, kStatic},
      {IDC_RED_X, kEdit},
      {IDC_RED_Y, kEdit},
      {IDC_GREEN_X, kEdit},
      {IDC_GREEN_Y, kEdit},
      {IDC_BLUE_X, kEdit},
      {IDC_BLUE_Y, kEdit},
      {IDOK, kButton},
      {IDCANCEL, kButton}},
     {}},
    {IDD_OPEN_PREVIEW, L"", {{IDC_OPEN_PREVIEW, kStatic}}, {}},
    {IDD_ADJUSTED_WHITE,
     kWizardTitle,
     {{IDC_WIZARD_PICTURE, kStatic},
      {IDC_HARDWARE_WHITE_INTRO, kStatic},
      {IDC_ADJUSTED_WHITE_LABEL, kStatic},
      {IDC_ADJUSTED_WHITE_LIST, kList}},
     {}},
    {IDD_WHITE_INSTRUCTIONS,
     kWizardTitle,
     {{IDC_WIZARD_PICTURE, kStatic}, {IDOK, kButton}, {IDCANCEL, kButton}},
     {}},
    {IDD_PANEL,
     L"Tonalis",
     Join({{IDC_DESCRIPTION, kEdit},
           {IDC_LOAD, kButton},
           {IDC_BRIGHTNESS_PATTERN, kStatic},
           {IDC_PHOSPHOR_LIST, kList},
           {IDC_HARDWARE_WHITE_LIST, kList},
           {IDC_MEASURE, kButton},
           {IDC_ADJUSTED_WHITE_LABEL, kStatic},
           {IDC_ADJUSTED_WHITE_LIST, kList},
           {IDC_DEFAULT_PROFILE, kButton},
           {IDC_LOAD_AT_LOGON, kButton},
           {IDOK, kButton},
           {IDCANCEL, kButton},
           {IDC_PANEL_WIZARD, kButton}},
          kGammaControls),
     {IDC_GAMMA_PATCH_LEFT, IDC_GAMMA_SLIDER_LEFT, IDC_GAMMA_PATCH_RIGHT, IDC_GAMMA_SLIDER_RIGHT,
      IDC_DEFAULT_PROFILE}},
    {IDD_CUSTOM_ADJUSTED_WHITE,
     L"自订调整最亮点",
     {{IDC_X_LABEL, kStatic},
      {IDC_WHITE_X, kEdit},
      {IDC_WHITE_Y, kEdit},
      {IDOK, kButton},
      {IDCANCEL, kButton}},
     {}},
    {IDD_WHITE_SCREEN,
     L"",
     {{IDC_SQUARE_LEFT, kButton}, {IDC_SQUARE_CENTRE, kButton}, {IDC_SQUARE_RIGHT, kButton}},
     {}},
};

void PrintTo(const Template& dialog, std::ostream* out) {
    *out << "template " << dialog.id;
}

INT_PTR CALLBACK QuietDialog(HWND, UINT message, WPARAM, LPARAM) {
    return message == WM_INITDIALOG;
}

// Every template, created hidden from the resources linked into the test program.
class DialogTemplates : public testing::TestWithParam<Template> {
  protected:
    void SetUp() override {
        owner_ = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 800, 600, nullptr, nullptr,
                                 nullptr, nullptr);
        dialog_ = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(GetParam().id),
                                     owner_, QuietDialog, 0);
    }
    void TearDown() override {
        DestroyWindow(dialog_);
        DestroyWindow(owner_);
    }
    HWND owner_ = nullptr;
    HWND dialog_ = nullptr;
};

std::string KindOf(HWND window) {
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

bool IsVisibleInTemplate(HWND control) {
    return (GetWindowLongA(control, GWL_STYLE) & WS_VISIBLE) != 0;
}

RECT RectInDialog(HWND dialog, HWND control) {
    RECT rect;
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

TEST_P(DialogTemplates, OpensWithItsTitleAndControls) {
    const Template& expected = GetParam();
    ASSERT_NE(dialog_, nullptr) << "template " << expected.id << " error " << GetLastError();
    wchar_t title[64] = {};
    GetWindowTextW(dialog_, title, 64);
    EXPECT_STREQ(title, expected.title);
    for (const Control& control : expected.controls) {
        HWND window = GetDlgItem(dialog_, control.id);
        ASSERT_NE(window, nullptr) << "template " << expected.id << " lacks control " << control.id;
        EXPECT_EQ(KindOf(window), control.kind) << "control " << control.id;
        bool hidden = std::find(expected.hidden.begin(), expected.hidden.end(), control.id) !=
                      expected.hidden.end();
        EXPECT_EQ(IsVisibleInTemplate(window), !hidden) << "control " << control.id;
    }
}

// Group boxes frame other controls; everything else must stand on its own.
TEST_P(DialogTemplates, VisibleControlsNeitherOverlapNorClipTheirTexts) {
    ASSERT_NE(dialog_, nullptr);
    RECT client;
    GetClientRect(dialog_, &client);
    std::vector<std::pair<int, RECT>> placed;
    for (HWND child = GetWindow(dialog_, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        LONG style = GetWindowLongA(child, GWL_STYLE);
        int id = GetDlgCtrlID(child);
        RECT rect = RectInDialog(dialog_, child);
        RECT inside;
        IntersectRect(&inside, &rect, &client);
        EXPECT_TRUE(EqualRect(&inside, &rect)) << "control " << id << " reaches outside the dialog";
        if (!(style & WS_VISIBLE)) {
            continue;
        }
        if (KindOf(child) == kStatic && (style & SS_TYPEMASK) == SS_LEFT) {
            char text[512] = {};
            GetWindowTextA(child, text, sizeof text);
            HDC dc = GetDC(child);
            HGDIOBJ old =
                SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(child, WM_GETFONT, 0, 0)));
            RECT needed = {0, 0, rect.right - rect.left, 0};
            DrawTextA(dc, text, -1, &needed, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
            SelectObject(dc, old);
            ReleaseDC(child, dc);
            EXPECT_LE(needed.bottom, rect.bottom - rect.top)
                << "text of control " << id << " is clipped: " << text;
        }
        if (KindOf(child) == kButton && (style & BS_TYPEMASK) == BS_GROUPBOX) {
            continue;
        }
        for (const auto& [other, otherRect] : placed) {
            RECT common;
            EXPECT_FALSE(IntersectRect(&common, &rect, &otherRect))
                << "controls " << other << " and " << id;
        }
        placed.push_back({id, rect});
    }
}

INSTANTIATE_TEST_SUITE_P(All, DialogTemplates, testing::ValuesIn(kTemplates),
                         [](const testing::TestParamInfo<Template>& info) {
                             return "Template" + std::to_string(info.param.id);
                         });

}  // namespace
}  // namespace tonalis
