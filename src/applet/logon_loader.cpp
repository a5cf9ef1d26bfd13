// TNP.cpl's loader for the logon, run by rundll32.exe from the user's Run key:
// every monitor gets the table of its kept profile back, as tonalis.exe apply
// gives it. Silent unless something fails.
#include <windows.h>

#include "display/kept_calibration.h"
#include "resources/string_ids.h"
#include "session/messages.h"

extern "C" void CALLBACK TNLLoadCalibration(HWND, HINSTANCE, LPSTR, int) {
    using namespace tonalis;
    const int failure = LoadKeptCalibrations();
    if (failure != 0) {
        ShowErrorMessage(ModuleInstance(), failure, strings::kProductName);
    }
}
