#include "system_seams.h"

#include <gtest/gtest.h>
#include <icm.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace tonalis::testing {

namespace {

FakeProfileSystem* g_profile = nullptr;
FakeDisplaySystem* g_display = nullptr;
std::vector<FakeMonitor> g_monitors;
int g_reportedCount = 0;
int g_monitorFromWindowCalls = 0;

HMODULE WINAPI FakeLoadLibrary(LPCSTR name) {
    if (g_profile->colorLibraryMissing && lstrcmpiA(name, "mscms.dll") == 0) {
        return nullptr;
    }
    return LoadLibraryA(name);
}

FARPROC WINAPI FakeFindProcedure(HMODULE module, LPCSTR name) {
    if (g_profile->missingProcedures.count(name) != 0) {
        return nullptr;
    }
    if (name == g_profile->replacedProcedure) {
        return g_profile->replacement;
    }
    return GetProcAddress(module, name);
}

BOOL WINAPI FakeGetVersionEx(OSVERSIONINFOA* info) {
    if (g_profile->versionQueryFails) {
        return FALSE;
    }
    info->dwPlatformId = g_profile->platformId;
    info->dwMajorVersion = g_profile->majorVersion;
    return TRUE;
}

UINT WINAPI FakeGetSystemDirectory(LPWSTR buffer, UINT size) {
    return g_profile->systemDirectoryFails ? 0 : GetSystemDirectoryW(buffer, size);
}

HGLOBAL WINAPI FakeGlobalAlloc(UINT flags, SIZE_T bytes) {
    ++g_profile->allocations;
    if (g_profile->everyAllocationFails || g_profile->allocations == g_profile->allocationToFail) {
        return nullptr;
    }
    ++g_profile->liveAllocations;
    return GlobalAlloc(flags, bytes);
}

HGLOBAL WINAPI FakeGlobalFree(HGLOBAL block) {
    --g_profile->liveAllocations;
    return GlobalFree(block);
}

SHORT WINAPI FakeGetAsyncKeyState(int key) {
    if (g_display->keysDown.count(key) != 0) {
        return static_cast<SHORT>(0x8000);
    }
    return g_display->keysPressedEarlier.count(key) != 0 ? 1 : 0;
}

BOOL WINAPI FakeGetDeviceGammaRamp(HDC dc, LPVOID ramp) {
    const int read = g_display->reads++;
    if (g_display->failingReads.count(read) != 0) {
        return FALSE;
    }
    auto scripted = g_display->scriptedReads.find(read);
    if (scripted != g_display->scriptedReads.end()) {
        memcpy(ramp, scripted->second.entries, sizeof scripted->second.entries);
        return TRUE;
    }
    if (g_display->holdsTable) {
        memcpy(ramp, g_display->held.entries, sizeof g_display->held.entries);
        return TRUE;
    }
    return GetDeviceGammaRamp(dc, ramp);
}

// Like a driver's safety check: some entry more than a quarter of the range
// away from where an identity table has it.
bool FarFromIdentity(const GammaRamp& ramp) {
    for (int i = 0; i < kRampEntries; ++i) {
        if (std::abs(ramp.entries[i] - (i % kRampSize) * 257) > 0x4000) {
            return true;
        }
    }
    return false;
}

// Reports success whether or not it keeps the table, as Windows may.
BOOL WINAPI FakeSetDeviceGammaRamp(HDC dc, LPVOID ramp) {
    RampWrite write = {WindowFromDC(dc), {}};
    memcpy(write.ramp.entries, ramp, sizeof write.ramp.entries);
    g_display->writes.push_back(write);
    const FakeTables tables = g_display->tables;
    if (tables == FakeTables::Accepts ||
        (tables == FakeTables::RefusesFarFromIdentity && !FarFromIdentity(write.ramp))) {
        g_display->held = write.ramp;
        g_display->holdsTable = true;
    }
    return TRUE;
}

// Fake monitor handles are 1-based indices into g_monitors.
HMONITOR HandleOf(size_t index) {
    return reinterpret_cast<HMONITOR>(index + 1);
}

int WINAPI FakeSystemMetrics(int index) {
    RECT all = {};
    for (const FakeMonitor& m : g_monitors) {
        UnionRect(&all, &all, &m.rect);
    }
    const FakeMonitor& primary = *std::find_if(g_monitors.begin(), g_monitors.end(),
                                               [](const FakeMonitor& m) { return m.primary; });
    switch (index) {
        case SM_CMONITORS:
            return g_reportedCount;
        case SM_XVIRTUALSCREEN:
            return all.left;
        case SM_YVIRTUALSCREEN:
            return all.top;
        case SM_CXVIRTUALSCREEN:
            return all.right - all.left;
        case SM_CYVIRTUALSCREEN:
            return all.bottom - all.top;
        case SM_CXSCREEN:
            return primary.rect.right - primary.rect.left;
        case SM_CYSCREEN:
            return primary.rect.bottom - primary.rect.top;
        default:
            return GetSystemMetrics(index);
    }
}

// Like the system: the monitor with the largest intersection, else null.
HMONITOR WINAPI FakeMonitorFromRect(LPCRECT rect, DWORD) {
    HMONITOR best = nullptr;
    LONG bestArea = 0;
    for (size_t i = 0; i < g_monitors.size(); ++i) {
        RECT common;
        if (IntersectRect(&common, rect, &g_monitors[i].rect)) {
            LONG area = (common.right - common.left) * (common.bottom - common.top);
            if (area > bestArea) {
                bestArea = area;
                best = HandleOf(i);
            }
        }
    }
    return best;
}

HMONITOR WINAPI FakeMonitorFromWindow(HWND window, DWORD flags) {
    ++g_monitorFromWindowCalls;
    RECT rect;
    return GetWindowRect(window, &rect) ? FakeMonitorFromRect(&rect, flags) : nullptr;
}

BOOL WINAPI FakeGetMonitorInfo(HMONITOR monitor, LPMONITORINFO info) {
    size_t index = reinterpret_cast<size_t>(monitor) - 1;
    if (index >= g_monitors.size()) {
        return FALSE;
    }
    const FakeMonitor& m = g_monitors[index];
    info->rcMonitor = m.rect;
    info->rcWork = m.rect;
    info->dwFlags = m.primary ? MONITORINFOF_PRIMARY : 0;
    if (info->cbSize >= sizeof(MONITORINFOEXA)) {
        lstrcpynA(reinterpret_cast<MONITORINFOEXA*>(info)->szDevice, m.device.c_str(),
                  CCHDEVICENAME);
    }
    return TRUE;
}

}  // namespace

std::string DisplaySetup() {
    const char* setup = getenv("TONALIS_DISPLAY_SETUP");
    return setup != nullptr ? setup : "";
}

bool IsTwoMonitorSetup() {
    std::string setup = DisplaySetup();
    return setup == "dummy-right" || setup == "dummy-left";
}

void CleanProductKeys::Delete() {
    DeleteKeyTree(HKEY_CURRENT_USER, "SOFTWARE\\Orvane");
    DeleteKeyTree(HKEY_LOCAL_MACHINE, "SOFTWARE\\Orvane");
}

void SetValue(HKEY root, const char* path, const char* name, DWORD type, const void* data,
              DWORD size) {
    HKEY key;
    ASSERT_EQ(RegCreateKeyExA(root, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size);
    RegCloseKey(key);
}

std::string SampleProfilePath() {
    // Installed with icc-profiles-free; Wine's Z: drive is the Unix root.
    return "Z:\\usr\\share\\color\\icc\\sRGB.icc";
}

std::vector<std::string> EnumeratedMonitorProfiles() {
    HMODULE library = LoadLibraryA("mscms.dll");
    auto function = reinterpret_cast<BOOL(WINAPI*)(PCSTR, PENUMTYPEA, PBYTE, PDWORD, PDWORD)>(
        reinterpret_cast<void*>(GetProcAddress(library, "EnumColorProfilesA")));
    ENUMTYPEA query = {};
    query.dwSize = sizeof query;
    query.dwVersion = ENUM_TYPE_VERSION;
    query.dwFields = ET_CLASS;
    query.dwClass = 0x6D6E7472;  // 'mntr'
    std::vector<char> buffer(8192);
    DWORD size = static_cast<DWORD>(buffer.size());
    DWORD count = 0;
    std::vector<std::string> names;
    if (function != nullptr &&
        function(nullptr, &query, reinterpret_cast<BYTE*>(buffer.data()), &size, &count)) {
        for (const char* name = buffer.data(); *name != '\0'; name += strlen(name) + 1) {
            names.push_back(name);
        }
    }
    FreeLibrary(library);
    return names;
}

bool IsAssociated(const std::string& fileName) {
    DWORD type;
    std::string data;
    return QueryValue(HKEY_LOCAL_MACHINE, kAssociationKey, fileName.c_str(), &type, &data);
}

void RemoveAssociation(const std::string& fileName) {
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kAssociationKey, 0, KEY_SET_VALUE, &key) ==
        ERROR_SUCCESS) {
        RegDeleteValueA(key, fileName.c_str());
        RegCloseKey(key);
    }
}

ScopedFakeProfileSystem::ScopedFakeProfileSystem() : saved_(g_profileSystemCalls) {
    g_profile = &state_;
    g_profileSystemCalls = {FakeLoadLibrary,  FakeFindProcedure,      FreeLibrary,
                            FakeGetVersionEx, FakeGetSystemDirectory, FakeGlobalAlloc,
                            FakeGlobalFree};
}

ScopedFakeProfileSystem::~ScopedFakeProfileSystem() {
    g_profileSystemCalls = saved_;
    g_profile = nullptr;
}

ScopedFakeDisplaySystem::ScopedFakeDisplaySystem() : saved_(g_displaySystemCalls) {
    g_display = &state_;
    g_displaySystemCalls = {FakeGetAsyncKeyState, FakeGetDeviceGammaRamp, FakeSetDeviceGammaRamp};
}

ScopedFakeDisplaySystem::~ScopedFakeDisplaySystem() {
    g_displaySystemCalls = saved_;
    g_display = nullptr;
}

ScopedFakeDesktop::ScopedFakeDesktop(std::vector<FakeMonitor> monitors, int reportedCount)
    : saved_(g_monitorApi) {
    g_monitors = std::move(monitors);
    g_reportedCount = reportedCount;
    g_monitorFromWindowCalls = 0;
    g_monitorApi = {true,
                    {FakeSystemMetrics, FakeMonitorFromWindow, FakeMonitorFromRect, nullptr,
                     nullptr, FakeGetMonitorInfo}};
}

ScopedFakeDesktop::~ScopedFakeDesktop() {
    g_monitorApi = saved_;
    g_monitors.clear();
}

int ScopedFakeDesktop::monitorFromWindowCalls() const {
    return g_monitorFromWindowCalls;
}

void ScopedFakeDesktop::SetReportedCount(int count) {
    g_reportedCount = count;
}

ScopedMissingMonitorFunctions::ScopedMissingMonitorFunctions() : saved_(g_monitorApi) {
    g_monitorApi = {true, {}};
}

ScopedMissingMonitorFunctions::~ScopedMissingMonitorFunctions() {
    g_monitorApi = saved_;
}

}  // namespace tonalis::testing
