// Main of the Win32 suites: the test program itself carries the string table,
// so it stands in for the DLL as the module instance.
#include <windows.h>

#include <gtest/gtest.h>

#include "e2e/system_registry.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved);

int main(int argc, char** argv) {
    DllMain(GetModuleHandleA(nullptr), DLL_PROCESS_ATTACH, nullptr);
    testing::InitGoogleTest(&argc, argv);
    tonalis::testing::PrefixColorFolder colorFolder;
    const int result = RUN_ALL_TESTS();
    return result;
}
