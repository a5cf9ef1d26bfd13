// What Windows Installer gives a deferred custom action: the property
// CustomActionData, set by the action that passes it.
#pragma once

#include <windows.h>
#include <msi.h>
#include <msiquery.h>

#include <string>

// Empty when there is none.
inline std::wstring CustomActionData(MSIHANDLE install) {
    wchar_t data[MAX_PATH] = L"";
    DWORD size = MAX_PATH;
    if (MsiGetPropertyW(install, L"CustomActionData", data, &size) != ERROR_SUCCESS) {
        return L"";
    }
    return data;
}
