// The number fields of the custom white point and phosphor dialogs: shown with
// four decimals, read back in the C locale's notation whatever the user's is.
#include "ui/custom_values.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "model/plausible_ranges.h"
#include "resources/string_ids.h"
#include "session/messages.h"
#include "ui/controls.h"

namespace tonalis {

namespace {

constexpr int kFieldLimit = 6;
// At most seven characters and the terminator.
constexpr int kReadSize = 8;

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v';
}

// A decimal number (optional leading blanks and sign, digits with one full
// stop, optional exponent) that makes up the whole text.
bool ParseWholeNumber(const char* text, double* value) {
    const char* end = text + std::strlen(text);
    const char* p = text;
    while (p < end && IsSpace(*p)) {
        ++p;
    }
    bool negative = false;
    if (p < end && (*p == '+' || *p == '-')) {
        negative = *p == '-';
        ++p;
    }
    // from_chars would take "inf" and "nan" too: insist on a digit or a stop.
    if (p == end || !((*p >= '0' && *p <= '9') || *p == '.')) {
        return false;
    }
    double parsed = 0.0;
    std::from_chars_result result = std::from_chars(p, end, parsed, std::chars_format::general);
    if (result.ec != std::errc() || result.ptr != end || !std::isfinite(parsed)) {
        return false;
    }
    *value = negative ? -parsed : parsed;
    return true;
}

}  // namespace

void ShowNumberField(HWND dialog, int id, double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%-6.4f", value);
    SendDlgItemMessageA(dialog, id, EM_LIMITTEXT, kFieldLimit, 0);
    SetControlText(dialog, id, text);
}

bool ReadNumberField(HWND dialog, int id, double* value) {
    char text[kReadSize];
    GetControlText(dialog, id, text, kReadSize);
    if (char* comma = std::strchr(text, ',')) {
        *comma = '.';
        SetControlText(dialog, id, text);
    }
    return ParseWholeNumber(text, value);
}

void RefuseField(HWND dialog, HINSTANCE instance, int id, int messageId, bool selectText) {
    if (selectText) {
        SendDlgItemMessageA(dialog, id, EM_SETSEL, 0, -1);
    }
    ShowErrorMessage(dialog, instance, messageId, strings::kProductName);
    SetFocus(Control(dialog, id));
}

bool ReadCoordinateField(HWND dialog, HINSTANCE instance, int id, double* value) {
    if (ReadNumberField(dialog, id, value) && CoordinateInRange(*value)) {
        return true;
    }
    RefuseField(dialog, instance, id, strings::kEnterNumberZeroToOne, true);
    return false;
}

}  // namespace tonalis
