// The creator field of a profile's header, read from the file.
#include "profile/profile_origin.h"

#include "icc/byte_order.h"
#include "icc/profile_header.h"
#include "profile/profile_image_file.h"

namespace tonalis {

bool IsTonalisProfile(const char* path) {
    if (path == nullptr) {
        return false;
    }
    ProfileImageFile image;
    return image.Read(path) == ImageReadResult::kRead &&
           icc::HeaderFromImage(image.Bytes()).creator == icc::Sig("ORVN");
}

}  // namespace tonalis
