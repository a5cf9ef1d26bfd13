#include "system_registry.h"

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>

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

// The one profile that Wine's set-up puts into a new prefix's colour folder.
constexpr char kPrefixProfile[] = "sRGB Color Space Profile.icm";
constexpr wchar_t kPrefixProfileW[] = L"sRGB Color Space Profile.icm";

// Wide calls, so that a name outside the code page is removed too.
std::vector<std::string> CleanColorFolder() {
    std::vector<std::string> removed;
    wchar_t directory[MAX_PATH] = {};
    MultiByteToWideChar(CP_ACP, 0, LibraryColorDirectory().c_str(), -1, directory, MAX_PATH);
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((std::wstring(directory) + L"*").c_str(), &found);
    for (bool more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileW(search, &found)) {
        const std::wstring path = std::wstring(directory) + found.cFileName;
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 &&
            lstrcmpiW(found.cFileName, kPrefixProfileW) != 0) {
            SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteFileW(path.c_str());
            char name[4 * MAX_PATH] = {};
            WideCharToMultiByte(CP_UTF8, 0, found.cFileName, -1, name, sizeof name, nullptr,
                                nullptr);
            removed.push_back(name);
        }
    }
    if (search != INVALID_HANDLE_VALUE) {
        FindClose(search);
    }
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kAssociationKey, 0, KEY_ALL_ACCESS, &key) == 0) {
        wchar_t name[MAX_PATH];
        for (DWORD index = 0, size = MAX_PATH;
             RegEnumValueW(key, index, name, &size, nullptr, nullptr, nullptr, nullptr) == 0;
             size = MAX_PATH) {
            index += lstrcmpiW(name, kPrefixProfileW) == 0 || RegDeleteValueW(key, name) != 0;
        }
        RegCloseKey(key);
    }
    return removed;
}

PrefixColorFolder::PrefixColorFolder() {
    CleanColorFolder();
    std::ifstream own(LibraryColorDirectory() + kPrefixProfile, std::ios::binary);
    ownBytes_.assign(std::istreambuf_iterator<char>(own), {});
}

PrefixColorFolder::~PrefixColorFolder() {
    const std::string own = LibraryColorDirectory() + kPrefixProfile;
    std::ifstream now(own, std::ios::binary);
    if (std::string(std::istreambuf_iterator<char>(now), {}) != ownBytes_) {
        std::fprintf(stderr, "the suite changed %s; put back\n", kPrefixProfile);
        std::ofstream(own, std::ios::binary) << ownBytes_;
    }
    for (const std::string& name : CleanColorFolder()) {
        std::fprintf(stderr, "the suite left %s in the colour folder; removed\n", name.c_str());
    }
}

}  // namespace tonalis::testing
