// Byte order and number encodings of profile images. Images are big-endian;
// the library keeps every number in host order and converts only here.
#pragma once

#include <cstdint>

namespace tonalis::icc {

// In-place conversion between big-endian and host order (the same operation
// in both directions). The array forms do nothing for count <= 0.
void SwapBytes16(uint16_t* value);
void SwapBytes32(uint32_t* value);
void SwapBytes16(uint16_t* values, int32_t count);
void SwapBytes32(uint32_t* values, int32_t count);

// Big-endian fields read from and written to unaligned bytes.
uint16_t LoadBig16(const uint8_t* bytes);
uint32_t LoadBig32(const uint8_t* bytes);
void StoreBig16(uint8_t* bytes, uint16_t value);
void StoreBig32(uint8_t* bytes, uint32_t value);

// n rounded up to a multiple of 4.
constexpr uint32_t Align4(uint32_t n) {
    return (n % 4 == 0) ? n : n + (4 - n % 4);
}

// Four characters as the 32-bit number whose big-endian bytes spell them.
constexpr uint32_t Sig(const char (&text)[5]) {
    return (uint32_t(uint8_t(text[0])) << 24) | (uint32_t(uint8_t(text[1])) << 16) |
           (uint32_t(uint8_t(text[2])) << 8) | uint32_t(uint8_t(text[3]));
}

constexpr double kFixed16Step = 1.52587890625e-5;  // 1 / 65536

inline double S15Fixed16ToDouble(int32_t value) {
    return value * kFixed16Step;
}
// Rounds half away from zero. Values outside the s15Fixed16 range saturate,
// and NaN gives 0, where a bare conversion would be undefined.
int32_t DoubleToS15Fixed16(double value);

// base^exponent in wrapping unsigned 32-bit arithmetic; 1 for exponent 0.
uint32_t IntegerPower(uint32_t base, uint32_t exponent);

// base^exponent x factor, or false when it exceeds limit: for sizes read
// from untrusted data, where wrapping would hide an oversized table.
bool CheckedPowerTimes(uint32_t base, uint32_t exponent, uint32_t factor, uint32_t limit,
                       uint32_t* result);

}  // namespace tonalis::icc
