// Reading a whole profile image from a file.
#include "profile/profile_image_file.h"

#include <cerrno>
#include <cstdio>

#include "icc/byte_order.h"
#include "model/platform.h"
#include "resources/string_ids.h"

namespace tonalis {

namespace {

// Whether a failed open means that nothing is there, rather than a file that
// this user may not read (or that another program holds locked).
bool NothingThere(int error) {
    return error == ENOENT || error == ENOTDIR || error == EINVAL || error == ENAMETOOLONG;
}

class ScopedFile {
  public:
    explicit ScopedFile(const char* path)
        : file_(path[0] == '\0' ? nullptr : platform::OpenFileForReading(path)) {}
    ~ScopedFile() {
        if (file_ != nullptr) {
            std::fclose(file_);
        }
    }
    ScopedFile(const ScopedFile&) = delete;
    ScopedFile& operator=(const ScopedFile&) = delete;
    std::FILE* get() const { return file_; }

  private:
    std::FILE* file_;
};

}  // namespace

ProfileImageFile::~ProfileImageFile() {
    platform::Release(bytes_);
}

ImageReadResult ProfileImageFile::Read(const char* path) {
    errno = ENOENT;
    ScopedFile file(path);
    if (file.get() == nullptr) {
        return NothingThere(errno) ? ImageReadResult::kCannotOpen : ImageReadResult::kUnreadable;
    }
    uint8_t announced[4];
    if (std::fread(announced, 1, sizeof announced, file.get()) != sizeof announced) {
        return ImageReadResult::kShort;
    }
    const uint32_t size = icc::LoadBig32(announced);
    if (size > kMaxProfileImageSize) {
        return ImageReadResult::kTooLarge;
    }
    if (size < kMinProfileImageSize) {
        return ImageReadResult::kTooSmall;
    }
    if (std::fseek(file.get(), 0, SEEK_SET) != 0) {
        return ImageReadResult::kShort;
    }
    auto* bytes = static_cast<uint8_t*>(platform::AllocateZeroed(size));
    if (bytes == nullptr) {
        return ImageReadResult::kNoMemory;
    }
    if (std::fread(bytes, 1, size, file.get()) != size) {
        platform::Release(bytes);
        return ImageReadResult::kShort;
    }
    platform::Release(bytes_);
    bytes_ = bytes;
    size_ = size;
    return ImageReadResult::kRead;
}

int ImageReadFailureString(ImageReadResult result, int inputOutputError) {
    switch (result) {
        case ImageReadResult::kTooLarge:
        case ImageReadResult::kTooSmall:
            return strings::kNotRgbDisplayProfile;
        case ImageReadResult::kNoMemory:
            return strings::kNoMemory;
        default:
            return inputOutputError;
    }
}

}  // namespace tonalis
