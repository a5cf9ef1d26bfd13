#include "system_registry.h"

#include <cstring>

namespace tonalis::testing {

void DeleteKeyTree(HKEY root, const char* path) {
    HKEY key;
    if (RegOpenKeyExA(root, path, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) {
        return;
    }
    char child[256];
    DWORD size = sizeof child;
    while (RegEnumKeyExA(key, 0, child, &size, nullptr, nullptr, nullptr, nullptr) ==
           ERROR_SUCCESS) {
        DeleteKeyTree(key, child);
        size = sizeof child;
    }
    RegCloseKey(key);
    RegDeleteKeyA(root, path);
}

bool QueryValue(HKEY root, const char* path, const char* name, DWORD* type, std::string* data) {
    HKEY key;
    if (RegOpenKeyExA(root, path, 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return false;
    }
    char buffer[1024];
    DWORD size = sizeof buffer;
    bool found = RegQueryValueExA(key, name, nullptr, type, reinterpret_cast<BYTE*>(buffer),
                                  &size) == ERROR_SUCCESS;
    RegCloseKey(key);
    if (found) {
        data->assign(buffer, size);
    }
    return found;
}

bool QueryDword(HKEY root, const char* path, const char* name, DWORD* value) {
    DWORD type = 0;
    std::string data;
    if (!QueryValue(root, path, name, &type, &data) || type != REG_DWORD || data.size() != 4) {
        return false;
    }
    memcpy(value, data.data(), 4);
    return true;
}

bool QueryString(HKEY root, const char* path, const char* name, std::string* value) {
    DWORD type = 0;
    std::string data;
    if (!QueryValue(root, path, name, &type, &data) || type != REG_SZ) {
        return false;
    }
    *value = data.c_str();
    return true;
}

std::string LibraryColorDirectory() {
    HMODULE library = LoadLibraryA("mscms.dll");
    auto function = reinterpret_cast<BOOL(WINAPI*)(PCSTR, PSTR, PDWORD)>(
        reinterpret_cast<void*>(GetProcAddress(library, "GetColorDirectoryA")));
    char directory[MAX_PATH] = {};
    DWORD size = sizeof directory;
    BOOL ok = function != nullptr && function(nullptr, directory, &size);
    FreeLibrary(library);
    return ok ? std::string(directory) + "\\" : std::string();
}

}  // namespace tonalis::testing
