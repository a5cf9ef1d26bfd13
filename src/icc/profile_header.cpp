// Conversion of the profile header between the image and host order.
#include "icc/profile_header.h"

#include <cstddef>
#include <cstring>
#include <ctime>

#include "icc/byte_order.h"

namespace tonalis::icc {

namespace {

// The header as three runs: 32-bit, 16-bit, 32-bit; the reserved bytes
// are copied as they are.
void ConvertRuns(ProfileHeader* header) {
    static_assert(offsetof(ProfileHeader, dateTime) == 24, "header layout");
    static_assert(offsetof(ProfileHeader, fileSignature) == 36, "header layout");
    static_assert(offsetof(ProfileHeader, reserved) == 84, "header layout");
    auto* bytes = reinterpret_cast<uint8_t*>(header);
    uint32_t first[6];
    uint16_t dateTime[6];
    uint32_t second[12];
    std::memcpy(first, bytes, sizeof first);
    std::memcpy(dateTime, bytes + 24, sizeof dateTime);
    std::memcpy(second, bytes + 36, sizeof second);
    SwapBytes32(first, 6);
    SwapBytes16(dateTime, 6);
    SwapBytes32(second, 12);
    std::memcpy(bytes, first, sizeof first);
    std::memcpy(bytes + 24, dateTime, sizeof dateTime);
    std::memcpy(bytes + 36, second, sizeof second);
}

}  // namespace

ProfileHeader HeaderFromImage(const uint8_t* image) {
    ProfileHeader header;
    std::memcpy(&header, image, kHeaderSize);
    ConvertRuns(&header);
    return header;
}

void HeaderToImage(const ProfileHeader& header, uint8_t* image) {
    ProfileHeader copy = header;
    ConvertRuns(&copy);
    std::memcpy(image, &copy, kHeaderSize);
}

void StampLocalTime(uint16_t dateTime[6]) {
    std::memset(dateTime, 0, 6 * sizeof(uint16_t));
    const std::time_t now = std::time(nullptr);
    const std::tm* local = std::localtime(&now);
    if (now == std::time_t(-1) || local == nullptr) {
        return;
    }
    dateTime[0] = uint16_t(local->tm_year + 1900);
    dateTime[1] = uint16_t(local->tm_mon + 1);
    dateTime[2] = uint16_t(local->tm_mday);
    dateTime[3] = uint16_t(local->tm_hour);
    dateTime[4] = uint16_t(local->tm_min);
    dateTime[5] = uint16_t(local->tm_sec);
}

}  // namespace tonalis::icc
