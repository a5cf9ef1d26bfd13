// The 128-byte profile header, held in host order.
#pragma once

#include <cstdint>

namespace tonalis::icc {

constexpr uint32_t kHeaderSize = 128;
constexpr uint32_t kTagCountOffset = 128;
constexpr uint32_t kTagTableOffset = 132;
constexpr uint32_t kTagEntrySize = 12;

// Field for field as in the image; bytes 84 to 127 stay as they are.
struct ProfileHeader {
    // Bytes 0 to 23: six 32-bit numbers.
    uint32_t size;
    uint32_t cmmType;
    uint32_t version;
    uint32_t deviceClass;
    uint32_t colorSpace;
    uint32_t pcs;
    // Bytes 24 to 35: year, month (from 1), day, hours, minutes, seconds.
    uint16_t dateTime[6];
    // Bytes 36 to 83: twelve 32-bit numbers.
    uint32_t fileSignature;
    uint32_t platform;
    uint32_t flags;
    uint32_t manufacturer;
    uint32_t model;
    uint32_t attributes[2];
    uint32_t intent;
    int32_t illuminant[3];  // s15Fixed16 X, Y, Z
    uint32_t creator;
    uint8_t reserved[44];
};
static_assert(sizeof(ProfileHeader) == kHeaderSize, "the header is 128 bytes");

ProfileHeader HeaderFromImage(const uint8_t* image);
void HeaderToImage(const ProfileHeader& header, uint8_t* image);

// The local time now, or all zero when the clock cannot be broken down.
void StampLocalTime(uint16_t dateTime[6]);

}  // namespace tonalis::icc
