// Shared helpers of the profile bridge tests: a scratch folder per test,
// settings records, file bytes, and tag surgery on profile images done
// byte by byte, independently of the library under test.
#pragma once

#include <gtest/gtest.h>

#include <lcms2.h>
#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "model/gamma_ramp.h"
#include "model/monitor_settings.h"
#include "model/presets.h"

namespace tonalis::profile_testing {

using Bytes = std::vector<uint8_t>;

constexpr int kNoMemory = 3302;
constexpr int kInternalError = 3304;
constexpr int kUnreadable = 3410;
constexpr int kNotRgbDisplay = 3411;
constexpr int kWriteError = 3415;

inline uint32_t Get32(const Bytes& b, size_t at) {
    return uint32_t(b[at]) << 24 | uint32_t(b[at + 1]) << 16 | uint32_t(b[at + 2]) << 8 | b[at + 3];
}
inline uint16_t Get16(const Bytes& b, size_t at) {
    return uint16_t(b[at] << 8 | b[at + 1]);
}
inline void Put32(Bytes& b, size_t at, uint32_t v) {
    b[at] = uint8_t(v >> 24);
    b[at + 1] = uint8_t(v >> 16);
    b[at + 2] = uint8_t(v >> 8);
    b[at + 3] = uint8_t(v);
}
inline void Put16(Bytes& b, size_t at, uint16_t v) {
    b[at] = uint8_t(v >> 8);
    b[at + 1] = uint8_t(v);
}
inline uint32_t Sig(const char* four) {
    return uint32_t(uint8_t(four[0])) << 24 | uint32_t(uint8_t(four[1])) << 16 |
           uint32_t(uint8_t(four[2])) << 8 | uint8_t(four[3]);
}

inline Bytes ReadFile(const std::string& path) {
    Bytes bytes;
    if (std::FILE* f = std::fopen(path.c_str(), "rb")) {
        int c;
        while ((c = std::fgetc(f)) != EOF) {
            bytes.push_back(uint8_t(c));
        }
        std::fclose(f);
    }
    return bytes;
}

inline void WriteFile(const std::string& path, const Bytes& bytes) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr) << path;
    if (!bytes.empty()) {
        ASSERT_EQ(std::fwrite(bytes.data(), 1, bytes.size(), f), bytes.size());
    }
    std::fclose(f);
}

inline bool FileExists(const std::string& path) {
    return access(path.c_str(), F_OK) == 0;
}

// The records a monitor starts with: 6500K, HDTV, gamma 2.2, full peaks,
// factors 1.0 and the ramp they give.
inline MonitorSettings DefaultSettings() {
    MonitorSettings s = {};
    s.hardwareWhite = GetWhitePreset(kDefaultWhitePreset);
    GetPhosphorPreset(kDefaultPhosphorPreset, s.primaries);
    for (int c = 0; c < 3; ++c) {
        s.gamma[c] = 2.2;
        s.gammaFactor[c] = 1.0;
    }
    s.whiteRgb = kFullPeaks;
    s.ramp = BuildGammaRamp(s.gamma, s.gammaFactor, s.whiteRgb);
    s.hasGammaRamp = 1;
    std::strcpy(s.description, "Orvane Monitor Profile");
    return s;
}

inline GammaRamp IdentityRamp() {
    GammaRamp ramp;
    for (int c = 0; c < 3; ++c) {
        for (int i = 0; i < kRampSize; ++i) {
            ramp.Channel(c)[i] = uint16_t(i * 256);
        }
    }
    return ramp;
}

struct TableEntry {
    std::string signature;
    uint32_t offset;
    uint32_t size;
};

inline std::vector<TableEntry> TagTable(const Bytes& image) {
    std::vector<TableEntry> table;
    if (image.size() < 132) {
        return table;
    }
    for (uint32_t i = 0; i < Get32(image, 128); ++i) {
        const size_t at = 132 + 12 * size_t(i);
        table.push_back({std::string(reinterpret_cast<const char*>(&image[at]), 4),
                         Get32(image, at + 4), Get32(image, at + 8)});
    }
    return table;
}

inline std::vector<std::string> TagNames(const Bytes& image) {
    std::vector<std::string> names;
    for (const TableEntry& e : TagTable(image)) {
        names.push_back(e.signature);
    }
    return names;
}

// The tag's bytes, or nothing when the image has no such tag.
inline Bytes TagData(const Bytes& image, const char* signature) {
    for (const TableEntry& e : TagTable(image)) {
        if (e.signature == signature && size_t(e.offset) + e.size <= image.size()) {
            return Bytes(image.begin() + e.offset, image.begin() + e.offset + e.size);
        }
    }
    return {};
}

// The image with one more tag: a table entry appended and the data placed
// after everything else. Existing offsets move by the 12 bytes of the entry.
inline Bytes WithTag(const Bytes& image, const char* signature, const Bytes& data) {
    const uint32_t count = Get32(image, 128);
    const size_t tableEnd = 132 + 12 * size_t(count);
    Bytes out(image.begin(), image.begin() + tableEnd);
    out.insert(out.end(), 12, 0);
    out.insert(out.end(), image.begin() + tableEnd, image.end());
    for (uint32_t i = 0; i < count; ++i) {
        Put32(out, 132 + 12 * i + 4, Get32(out, 132 + 12 * i + 4) + 12);
    }
    while (out.size() % 4 != 0) {
        out.push_back(0);
    }
    const uint32_t offset = uint32_t(out.size());
    out.insert(out.end(), data.begin(), data.end());
    while (out.size() % 4 != 0) {
        out.push_back(0);
    }
    Put32(out, 128, count + 1);
    Put32(out, tableEnd, Sig(signature));
    Put32(out, tableEnd + 4, offset);
    Put32(out, tableEnd + 8, uint32_t(data.size()));
    Put32(out, 0, uint32_t(out.size()));
    return out;
}

// The image without a tag (its data stays, unreferenced).
inline Bytes WithoutTag(const Bytes& image, const char* signature) {
    Bytes out = image;
    const uint32_t count = Get32(image, 128);
    uint32_t kept = 0;
    for (uint32_t i = 0; i < count; ++i) {
        const size_t at = 132 + 12 * size_t(i);
        if (Get32(image, at) == Sig(signature)) {
            continue;
        }
        std::memcpy(&out[132 + 12 * kept], &image[at], 12);
        ++kept;
    }
    Put32(out, 128, kept);
    return out;
}

// A 'vcgt' table tag of any shape, entries filled from a ramp (channel after
// channel) and zero beyond it.
inline Bytes VcgtTable(const GammaRamp& ramp, uint16_t channels, uint16_t entries,
                       uint16_t entrySize, size_t size) {
    Bytes b(size, 0);
    Put32(b, 0, Sig("vcgt"));
    Put16(b, 12, channels);
    Put16(b, 14, entries);
    Put16(b, 16, entrySize);
    for (size_t i = 0; i < size_t(channels) * entries && 18 + 2 * i + 1 < size; ++i) {
        Put16(b, 18 + 2 * i, i < size_t(kRampEntries) ? ramp.entries[i] : 0);
    }
    return b;
}

// The formula form: gamma, minimum and maximum per channel as s15Fixed16.
inline Bytes VcgtFormula() {
    Bytes b(48, 0);
    Put32(b, 0, Sig("vcgt"));
    Put32(b, 8, 1);
    for (int c = 0; c < 3; ++c) {
        Put32(b, 12 + 12 * c, 0x00023333);
        Put32(b, 20 + 12 * c, 0x00010000);
    }
    return b;
}

// A fresh folder for each test, removed with everything in it afterwards.
class ScratchFolderTest : public ::testing::Test {
  protected:
    void SetUp() override {
        char pattern[] = "/tmp/tonalis_profile_XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        folder_ = pattern;
    }
    void TearDown() override {
        const std::string command = "rm -rf '" + folder_ + "'";
        EXPECT_EQ(std::system(command.c_str()), 0);
    }
    std::string Path(const std::string& name) const { return folder_ + "/" + name; }
    // Every file in the folder, so that tests can see that no temporary file
    // was left behind.
    std::vector<std::string> FolderContents() const {
        std::vector<std::string> names;
        const std::string command = "ls -A '" + folder_ + "'";
        if (std::FILE* p = popen(command.c_str(), "r")) {
            char line[512];
            while (std::fgets(line, sizeof line, p) != nullptr) {
                std::string name(line);
                if (!name.empty() && name.back() == '\n') {
                    name.pop_back();
                }
                names.push_back(name);
            }
            pclose(p);
        }
        return names;
    }

    std::string folder_;
};

// Reading through LittleCMS.
class LcmsProfile {
  public:
    explicit LcmsProfile(const Bytes& image)
        : handle_(cmsOpenProfileFromMem(image.data(), cmsUInt32Number(image.size()))) {}
    explicit LcmsProfile(const std::string& path)
        : handle_(cmsOpenProfileFromFile(path.c_str(), "r")) {}
    ~LcmsProfile() {
        if (handle_ != nullptr) {
            cmsCloseProfile(handle_);
        }
    }
    LcmsProfile(const LcmsProfile&) = delete;
    LcmsProfile& operator=(const LcmsProfile&) = delete;

    cmsHPROFILE get() const { return handle_; }
    const cmsCIEXYZ* Xyz(cmsTagSignature tag) const {
        return static_cast<const cmsCIEXYZ*>(cmsReadTag(handle_, tag));
    }

  private:
    cmsHPROFILE handle_;
};

inline cmsCIExyY XyOf(const cmsCIEXYZ& xyz) {
    cmsCIExyY xyY;
    cmsXYZ2xyY(&xyY, &xyz);
    return xyY;
}

}  // namespace tonalis::profile_testing
