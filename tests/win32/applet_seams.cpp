#include "applet_seams.h"

namespace tonalis::testing {

namespace {

FakeSystem* g_fake = nullptr;

BOOL WINAPI FakeGetVersionEx(OSVERSIONINFOA* info) {
    g_fake->versionSizesAsked.push_back(info->dwOSVersionInfoSize);
    if (!g_fake->versionQueryWorks) {
        return FALSE;
    }
    if (g_fake->onlyPlainVersionInfoWorks && info->dwOSVersionInfoSize != sizeof(OSVERSIONINFOA)) {
        return FALSE;
    }
    info->dwPlatformId = g_fake->platformId;
    info->dwMajorVersion = g_fake->majorVersion;
    return TRUE;
}

bool FakeIsAdministrator() {
    return g_fake->isAdministrator;
}

int WINAPI FakeGetDeviceCaps(HDC, int index) {
    switch (index) {
        case BITSPIXEL:
            return g_fake->bitsPerPixel;
        case PLANES:
            return g_fake->planes;
        case RASTERCAPS:
            return g_fake->rasterCaps;
        default:
            return 0;
    }
}

int WINAPI FakeMessageBox(HWND owner, LPCSTR text, LPCSTR caption, UINT style) {
    g_fake->messages.push_back({owner, text ? text : "", caption ? caption : "", style});
    return g_fake->messageBoxAnswer;
}

HGLOBAL WINAPI FakeGlobalAlloc(UINT flags, SIZE_T bytes) {
    if (g_fake->allocationsToFail > 0) {
        --g_fake->allocationsToFail;
        return nullptr;
    }
    ++g_fake->liveAllocations;
    return GlobalAlloc(flags, bytes);
}

HGLOBAL WINAPI FakeGlobalFree(HGLOBAL block) {
    --g_fake->liveAllocations;
    ++g_fake->releases;
    return GlobalFree(block);
}

}  // namespace

ScopedFakeSystem::ScopedFakeSystem() : saved_(g_appletSystemCalls) {
    g_fake = &state_;
    g_appletSystemCalls = {FakeGetVersionEx, FakeIsAdministrator, FakeGetDeviceCaps,
                           FakeMessageBox,   FakeGlobalAlloc,     FakeGlobalFree};
}

ScopedFakeSystem::~ScopedFakeSystem() {
    g_appletSystemCalls = saved_;
    g_fake = nullptr;
}

std::string LoadTestString(int id) {
    char buffer[512] = {};
    LoadStringA(GetModuleHandleA(nullptr), static_cast<UINT>(id), buffer, sizeof buffer);
    return buffer;
}

}  // namespace tonalis::testing
