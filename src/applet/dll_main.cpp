// Library entry point: only remembers the module instance.
#include <windows.h>

#include "session/messages.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        tonalis::SetModuleInstance(instance);
    }
    return TRUE;
}
