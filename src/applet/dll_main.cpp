// Library entry point: only remembers the module instance.
#include <windows.h>

#include "applet/messages.h"

namespace {

HINSTANCE g_moduleInstance = nullptr;

}  // namespace

namespace tonalis {

HINSTANCE ModuleInstance() {
    return g_moduleInstance;
}

}  // namespace tonalis

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        g_moduleInstance = instance;
    }
    return TRUE;
}
