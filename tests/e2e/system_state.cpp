#include "system_state.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>

#include "applet_run.h"
#include "system_registry.h"

namespace tonalis::e2e {

namespace {

bool IsTestName(const std::string& name) {
    return _strnicmp(name.c_str(), kTestProfilePrefix, strlen(kTestProfilePrefix)) == 0;
}

void DeleteTestFiles(const std::string& folder) {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        return;
    }
    do {
        if (IsTestName(found.cFileName)) {
            std::string path = folder + found.cFileName;
            SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteFileA(path.c_str());
        }
    } while (FindNextFileA(search, &found));
    FindClose(search);
}

BOOL CALLBACK CollectMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM context) {
    MONITORINFO info = {};
    info.cbSize = sizeof info;
    if (GetMonitorInfoA(monitor, &info)) {
        reinterpret_cast<std::vector<RECT>*>(context)->push_back(info.rcMonitor);
    }
    return TRUE;
}

}  // namespace

int RampDistance(const Ramp& a, const Ramp& b) {
    int worst = 0;
    for (int i = 0; i < 768; ++i) {
        worst = std::max(worst, std::abs(int(a.entries[i]) - int(b.entries[i])));
    }
    return worst;
}

Ramp ScreenRamp() {
    Ramp ramp = {};
    OnAppletThread([&] {
        HDC screen = GetDC(nullptr);
        GetDeviceGammaRamp(screen, ramp.entries);
        ReleaseDC(nullptr, screen);
    });
    return ramp;
}

void LoadScreenRamp(const Ramp& ramp) {
    OnAppletThread([&] {
        HDC screen = GetDC(nullptr);
        SetDeviceGammaRamp(screen, const_cast<WORD*>(ramp.entries));
        ReleaseDC(nullptr, screen);
    });
}

std::string Ansi(const char* utf8) {
    wchar_t wide[512] = {};
    MultiByteToWideChar(CP_UTF8, 0, utf8, -1, wide, 512);
    char text[1024] = {};
    WideCharToMultiByte(CP_ACP, 0, wide, -1, text, sizeof text, nullptr, nullptr);
    return text;
}

void SetDword(HKEY root, const char* path, const char* name, DWORD value) {
    HKEY key;
    if (RegCreateKeyExA(root, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) ==
        ERROR_SUCCESS) {
        RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                       sizeof value);
        RegCloseKey(key);
    }
}

std::vector<std::string> AssociatedMonitorProfiles(bool installedOnly) {
    std::vector<std::string> names;
    const std::string directory = LibraryColorDirectory();
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kAssociationKey, 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return names;
    }
    char name[MAX_PATH];
    DWORD size = sizeof name;
    for (DWORD i = 0;
         RegEnumValueA(key, i, name, &size, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
         ++i, size = sizeof name) {
        if (!installedOnly || FileExists(directory + name)) {
            names.push_back(name);
        }
    }
    RegCloseKey(key);
    return names;
}

std::string ScreenProfile() {
    HDC screen = GetDC(nullptr);
    char path[MAX_PATH] = {};
    DWORD size = sizeof path;
    BOOL ok = GetICMProfileA(screen, &size, path);
    ReleaseDC(nullptr, screen);
    return ok ? path : "";
}

std::string ReadFileBytes(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

bool FileExists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

RECT MonitorRectOf(HWND window) {
    MONITORINFO info = {};
    info.cbSize = sizeof info;
    GetMonitorInfoA(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &info);
    return info.rcMonitor;
}

std::vector<RECT> MonitorRects() {
    std::vector<RECT> rects;
    EnumDisplayMonitors(nullptr, nullptr, CollectMonitor, reinterpret_cast<LPARAM>(&rects));
    return rects;
}

CleanSystem::CleanSystem() : ramp_(ScreenRamp()) {
    Clean();
    CreateDirectoryA(kScratchFolder, nullptr);
}

CleanSystem::~CleanSystem() {
    Clean();
    LoadScreenRamp(ramp_);
}

void CleanSystem::Clean() {
    DeleteKeyTree(HKEY_CURRENT_USER, "SOFTWARE\\Orvane");
    DeleteKeyTree(HKEY_LOCAL_MACHINE, "SOFTWARE\\Orvane");
    testing::CleanColorFolder();
    HKEY key;
    // Wine would run a logon loader left here at the start of every session.
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kRunKey, 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
        RegDeleteValueA(key, "Tonalis");
        RegCloseKey(key);
    }
    DeleteTestFiles(std::string(kScratchFolder) + "\\");
    RemoveDirectoryA(kScratchFolder);
}

}  // namespace tonalis::e2e
