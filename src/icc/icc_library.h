// The nine entry points of the ICC profile library. Each returns 0 or a
// negative code (-1 internal, -2 not an acceptable profile or missing tag,
// -3 out of memory, -4 bad argument); none lets an exception out.
//
// Calling order: IccLibInit, IccOpenProfile, then any of IccExtractInfo,
// IccGetTagData, IccUpdateProfile, IccSetTagData, IccWriteProfile (first
// with a null buffer for the size), then IccCloseProfile and, also after a
// failure, IccLibShutdown. The hooks must stay installed while a profile is
// open.
#pragma once

#include <cstdint>

#include "icc/allocator_hooks.h"
#include "icc/profile_info.h"

namespace tonalis {

namespace icc {
class RgbDisplayProfile;
}  // namespace icc

using IccProfile = icc::RgbDisplayProfile;

constexpr int32_t kIccInterfaceVersion = 1;

// Zero-filled blocks from the platform's allocator (GlobalAlloc in the DLL).
AllocatorHooks DefaultAllocatorHooks();

// -1 when hooks are already installed; -4 for a null record or function.
int32_t IccLibInit(const AllocatorHooks* hooks);
// Clears the installed flag; the hook values stay. Always 0.
int32_t IccLibShutdown();

// Kind 25: reads the image at info->image, whose first four bytes announce
// its size, and copies its description and intent into the record. Kind 16:
// builds a new RGB monitor profile from the record. On failure *profile is
// null and nothing stays allocated.
int32_t IccOpenProfile(int32_t version, ProfileInfo* info, IccProfile** profile);
// Releases the profile's whole pool. A null profile gives 0.
int32_t IccCloseProfile(IccProfile* profile);
// A null buffer stores the size that the buffer must have in *size;
// otherwise the profile is written into exactly *size bytes.
int32_t IccWriteProfile(IccProfile* profile, uint8_t* buffer, uint32_t* size);
// *simpleGamma receives 1 when all three curves are plain gammas.
int32_t IccExtractInfo(int32_t version, IccProfile* profile, ProfileInfo* info,
                       uint8_t* simpleGamma);
int32_t IccUpdateProfile(int32_t version, IccProfile* profile, ProfileInfo* info);
// A null data pointer asks for the size; otherwise exactly size bytes are
// copied.
int32_t IccGetTagData(IccProfile* profile, TagBuffer* tag);
// Adds the tag, or overwrites it when the existing one has the same size.
int32_t IccSetTagData(IccProfile* profile, const TagBuffer* tag);
// Removes the tag, so that one of another size can be set in its place; tags
// that shared its bytes keep them. -2 when there is none or when the profile
// cannot be without it; -1 for a null profile.
int32_t IccRemoveTag(IccProfile* profile, uint32_t signature);

}  // namespace tonalis
