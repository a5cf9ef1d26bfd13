// Byte order and number encodings of profile images.
#include "icc/byte_order.h"

#include <cmath>

namespace tonalis::icc {

namespace {

// A compile-time constant: the swaps must work during static initialisation
// of other translation units too.
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__
constexpr bool kSwapNeeded = false;
#else
constexpr bool kSwapNeeded = true;
#endif

}  // namespace

void SwapBytes16(uint16_t* value) {
    if (kSwapNeeded) {
        *value = uint16_t((*value >> 8) | (*value << 8));
    }
}

void SwapBytes32(uint32_t* value) {
    if (kSwapNeeded) {
        const uint32_t v = *value;
        *value = (v >> 24) | ((v >> 8) & 0x0000FF00u) | ((v << 8) & 0x00FF0000u) | (v << 24);
    }
}

void SwapBytes16(uint16_t* values, int32_t count) {
    for (int32_t i = 0; i < count; ++i) {
        SwapBytes16(&values[i]);
    }
}

void SwapBytes32(uint32_t* values, int32_t count) {
    for (int32_t i = 0; i < count; ++i) {
        SwapBytes32(&values[i]);
    }
}

uint16_t LoadBig16(const uint8_t* bytes) {
    return uint16_t((bytes[0] << 8) | bytes[1]);
}

uint32_t LoadBig32(const uint8_t* bytes) {
    return (uint32_t(bytes[0]) << 24) | (uint32_t(bytes[1]) << 16) | (uint32_t(bytes[2]) << 8) |
           uint32_t(bytes[3]);
}

void StoreBig16(uint8_t* bytes, uint16_t value) {
    bytes[0] = uint8_t(value >> 8);
    bytes[1] = uint8_t(value);
}

void StoreBig32(uint8_t* bytes, uint32_t value) {
    bytes[0] = uint8_t(value >> 24);
    bytes[1] = uint8_t(value >> 16);
    bytes[2] = uint8_t(value >> 8);
    bytes[3] = uint8_t(value);
}

int32_t DoubleToS15Fixed16(double value) {
    const double scaled = value < 0 ? value * 65536.0 - 0.5 : value * 65536.0 + 0.5;
    if (std::isnan(scaled)) {
        return 0;
    }
    if (scaled >= 2147483647.0) {
        return INT32_MAX;
    }
    if (scaled <= -2147483648.0) {
        return INT32_MIN;
    }
    return int32_t(scaled);
}

uint32_t IntegerPower(uint32_t base, uint32_t exponent) {
    uint32_t result = 1;
    for (uint32_t i = 0; i < exponent; ++i) {
        result *= base;
    }
    return result;
}

bool CheckedPowerTimes(uint32_t base, uint32_t exponent, uint32_t factor, uint32_t limit,
                       uint32_t* result) {
    uint64_t value = factor;
    for (uint32_t i = 0; i < exponent && value != 0; ++i) {
        value *= base;
        if (value > limit) {
            return false;
        }
    }
    if (value > limit) {
        return false;
    }
    *result = uint32_t(value);
    return true;
}

}  // namespace tonalis::icc
