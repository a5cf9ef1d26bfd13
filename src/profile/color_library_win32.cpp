// The guarded wrappers around the colour-management functions.
#include "profile/color_library.h"
#include "model/wide_path_win32.h"

#include "profile/profile_system_calls.h"
#include "profile/seh_guard.h"

namespace tonalis {

namespace {

using EnumProfilesFunction = BOOL(WINAPI*)(PCSTR, PENUMTYPEA, PBYTE, PDWORD, PDWORD);
using AssociateFunction = BOOL(WINAPI*)(PCWSTR, PCWSTR, PCWSTR);
using InstallFunction = BOOL(WINAPI*)(PCWSTR, PCWSTR);

constexpr DWORD kEnumTypeSize = 88;
constexpr DWORD kEnumTypeVersion = 0x300;
constexpr DWORD kDeviceNameAndClass = ET_DEVICENAME | ET_CLASS;
constexpr DWORD kMonitorClass = 0x6D6E7472;  // 'mntr'

// The library for the length of one call.
class ColorLibrary {
  public:
    ColorLibrary() : module_(LoadColorLibrary()) {}
    ~ColorLibrary() {
        if (module_ != nullptr) {
            g_profileSystemCalls.freeLibrary(module_);
        }
    }
    ColorLibrary(const ColorLibrary&) = delete;
    ColorLibrary& operator=(const ColorLibrary&) = delete;

    template <typename Function>
    Function Find(const char* name) const {
        if (module_ == nullptr) {
            return nullptr;
        }
        return reinterpret_cast<Function>(
            reinterpret_cast<void*>(g_profileSystemCalls.findProcedure(module_, name)));
    }

  private:
    HMODULE module_;
};

struct EnumCall {
    EnumProfilesFunction function;
    const char* machine;
    ENUMTYPEA* record;
    BYTE* buffer;
    DWORD* size;
    DWORD* count;
    BOOL result;
};

void CallEnumProfiles(void* context) {
    auto* call = static_cast<EnumCall*>(context);
    call->result =
        call->function(call->machine, call->record, call->buffer, call->size, call->count);
}

// The wide functions, so that a profile of any name can be associated.
bool AssociationCall(const char* name, const char* machine, const char* profile,
                     const char* device) {
    ColorLibrary library;
    auto function = library.Find<AssociateFunction>(name);
    return function != nullptr && machine == nullptr &&
           function(nullptr, WidePath(profile).get(), WidePath(device).get()) != FALSE;
}

}  // namespace

HMODULE LoadColorLibrary() {
    return g_profileSystemCalls.loadLibrary("mscms.dll");
}

bool ColorEnumProfiles(const char* machine, ENUMTYPEA* record, BYTE* buffer, DWORD* size,
                       DWORD* count) {
    ColorLibrary library;
    auto function = library.Find<EnumProfilesFunction>("EnumColorProfilesA");
    if (function == nullptr) {
        return false;
    }
    EnumCall call = {function, machine, record, buffer, size, count, FALSE};
    if (!RunGuarded(CallEnumProfiles, &call)) {
        return false;
    }
    // A size query reports failure for want of a buffer; the size is what counts.
    return call.result != FALSE || buffer == nullptr;
}

bool ColorAssociateProfile(const char* machine, const char* profile, const char* device) {
    return AssociationCall("AssociateColorProfileWithDeviceW", machine, profile, device);
}

bool ColorDisassociateProfile(const char* machine, const char* profile, const char* device) {
    return AssociationCall("DisassociateColorProfileFromDeviceW", machine, profile, device);
}

bool ColorInstallProfile(const char* machine, const char* profile) {
    ColorLibrary library;
    auto function = library.Find<InstallFunction>("InstallColorProfileW");
    return function != nullptr && machine == nullptr &&
           function(nullptr, WidePath(profile).get()) != FALSE;
}

bool ColorLibraryInstalls() {
    return ColorLibrary().Find<InstallFunction>("InstallColorProfileW") != nullptr;
}

ENUMTYPEA MonitorProfileQuery(const char* deviceId) {
    ENUMTYPEA record = {};
    record.dwSize = kEnumTypeSize;
    record.dwVersion = kEnumTypeVersion;
    record.dwFields = kDeviceNameAndClass;
    record.pDeviceName = deviceId;
    record.dwClass = kMonitorClass;
    return record;
}

}  // namespace tonalis
