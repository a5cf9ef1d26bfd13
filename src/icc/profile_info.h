// The records exchanged between the applet and the ICC library.
#pragma once

#include <cstdint>

namespace tonalis {

enum ProfileInfoKind : uint32_t {
    kProfileInfoValues = 16,  // the record carries calibration values
    kProfileInfoImage = 25,   // the record carries a profile image
};

// A description holds up to 255 UTF-16 units, as the description field does,
// and is exchanged in UTF-8: at most three bytes a unit, and the zero.
constexpr int kProfileTextUnits = 255;
constexpr int kProfileTextSize = 3 * kProfileTextUnits + 1;

// A monitor's calibration in colorimetric terms.
struct ProfileInfo {
    uint32_t kind;
    union {
        // kProfileInfoImage: a complete image whose first four bytes (its
        // announced size, big-endian) give its extent.
        const uint8_t* image;
        double gamma[3];  // red, green, blue
    };
    double primaries[3][3];  // XYZ of red, green, blue relative to the monitor white
    double white[3];         // media white XYZ
    double black[3];         // black point XYZ; zero when there is none
    int32_t intent;          // outside 0 to 3 counts as 0
    char* text;              // kProfileTextSize bytes of UTF-8, or null
    // A new description without one printable ASCII character gets this as
    // its ASCII part when it is printable ASCII (the file's name), else
    // "Tonalis profile".
    const char* plainName;
};

// One tag's raw bytes as they stand in the file.
struct TagBuffer {
    uint32_t signature;
    uint32_t size;
    uint8_t* data;
};

}  // namespace tonalis
