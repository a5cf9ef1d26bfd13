// The record of one run of the applet, shared by every page and dialog.
#pragma once

#include <windows.h>

#include "model/monitor_settings.h"

namespace tonalis {

constexpr int kMaxMonitors = 4;
constexpr int kPatternPaletteEntries = 17;

// A LOGPALETTE with room for all pattern colours.
struct PatternPalette {
    WORD palVersion;
    WORD palNumEntries;
    PALETTEENTRY palPalEntry[kPatternPaletteEntries];
};

enum UiMode : BYTE { kUiModeNotChosen = 0, kUiModeWizard = 1, kUiModePanel = 2 };

struct SessionContext {
    HWND ownerWindow;
    HWND frameWindow;
    HINSTANCE instance;
    int32_t monitorCount;
    int32_t currentMonitor;
    uint32_t testPageValue;
    BOOL isPaletteDevice;
    PatternPalette patternPalette;
    BYTE uiMode;
    MonitorSettings monitors[kMaxMonitors];
    MonitorSettings savedSettings;
    MonitorSettings workingSettings;
    int32_t whitePointStep;
    BOOL isNt5OrLater;
    int32_t customWhiteTarget;
    BOOL panelShown;
    // The user has been told that the display refused a table in this run.
    BOOL tableRefusalShown;
    // Set once the window began to close: from then on nothing is previewed.
    BOOL isClosing;
    // The wizard's frame has been placed on the monitor once; after that it
    // stays where the user puts it.
    BOOL wizardPlaced;
};

// Window property under which pages and dialogs keep the session pointer.
constexpr char kSessionProperty[] = "TNLSaveWinProp";

}  // namespace tonalis
