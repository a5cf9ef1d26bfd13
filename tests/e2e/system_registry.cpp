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

std::vector<std::string> CleanColorFolder() {
    std::vector<std::string> removed;
    const std::string directory = LibraryColorDirectory();
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((directory + "*").c_str(), &found);
    for (bool more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileA(search, &found)) {
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 &&
            lstrcmpiA(found.cFileName, kPrefixProfile) != 0) {
            SetFileAttributesA((directory + found.cFileName).c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteFileA((directory + found.cFileName).c_str());
            removed.push_back(found.cFileName);
        }
    }
    if (search != INVALID_HANDLE_VALUE) {
        FindClose(search);
    }
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kAssociationKey, 0, KEY_ALL_ACCESS, &key) == 0) {
        char name[MAX_PATH];
        for (DWORD index = 0, size = MAX_PATH;
             RegEnumValueA(key, index, name, &size, nullptr, nullptr, nullptr, nullptr) == 0;
             size = MAX_PATH) {
            index += lstrcmpiA(name, kPrefixProfile) == 0 || RegDeleteValueA(key, name) != 0;
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
