// A profile file read whole into memory, with the checks on its announced size
// that come before the ICC library sees a byte of it.
#pragma once

#include <cstdint>

namespace tonalis {

// Images above 1 MiB are refused; so are those too short to hold a header and
// a tag count.
constexpr uint32_t kMaxProfileImageSize = 1048576;
constexpr uint32_t kMinProfileImageSize = 132;

enum class ImageReadResult {
    kRead,
    kCannotOpen,  // no such file, or a path that names none
    kUnreadable,  // a file is there but cannot be opened for reading
    kShort,       // fewer bytes than the first four announce, or not even four
    kTooLarge,    // announces more than kMaxProfileImageSize
    kTooSmall,    // announces fewer than kMinProfileImageSize
    kNoMemory,
};

// The string for a failed read: a size out of bounds means not a correct RGB
// display profile, anything else but memory the read or write error given.
int ImageReadFailureString(ImageReadResult result, int inputOutputError);

// Owns the image, in zero-filled memory from the platform.
class ProfileImageFile {
  public:
    ProfileImageFile() = default;
    ~ProfileImageFile();
    ProfileImageFile(const ProfileImageFile&) = delete;
    ProfileImageFile& operator=(const ProfileImageFile&) = delete;

    // The file is closed again before this returns, whatever the result.
    ImageReadResult Read(const char* path);

    const uint8_t* Bytes() const { return bytes_; }
    uint32_t Size() const { return size_; }

  private:
    uint8_t* bytes_ = nullptr;
    uint32_t size_ = 0;
};

}  // namespace tonalis
