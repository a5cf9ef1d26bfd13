// Reading the 'vcgt' in each of its forms, and sampling it at a display's size.
#include "profile/vcgt_curves.h"

#include <algorithm>
#include <cmath>

#include "icc/byte_order.h"
#include "icc/exception.h"
#include "profile/vcgt_tag.h"

namespace tonalis {

namespace {

constexpr uint32_t kFormulaBytes = 12 + 9 * 4;
// Tonalis once wrote 3 x 256 entries of 2 bytes, with an entry size field of
// 1, in a tag of exactly this many bytes. Only that layout is read as 16-bit:
// an 8-bit table with padding after it stays 8-bit.
constexpr uint32_t kOldTableBytes = 1584;

double Fixed15Dot16(const uint8_t* bytes) {
    return static_cast<int32_t>(icc::LoadBig32(bytes)) / 65536.0;
}

VcgtProblem ReadTable(const std::vector<uint8_t>& tag, VcgtCurves* curves) {
    if (tag.size() < kVcgtTableOffset) {
        return VcgtProblem::kTooShort;
    }
    const uint32_t channels = icc::LoadBig16(&tag[kVcgtChannelCountOffset]);
    const uint32_t entries = icc::LoadBig16(&tag[kVcgtEntryCountOffset]);
    uint32_t entrySize = icc::LoadBig16(&tag[kVcgtEntrySizeOffset]);
    if (channels != 1 && channels != 3) {
        return VcgtProblem::kChannels;
    }
    if (entries < 2) {
        return VcgtProblem::kEntryCount;
    }
    if (channels == 3 && entries == 256 && entrySize == 1 && tag.size() == kOldTableBytes) {
        entrySize = 2;
    }
    if (entrySize != 1 && entrySize != 2) {
        return VcgtProblem::kEntrySize;
    }
    if (tag.size() < kVcgtTableOffset + channels * entries * entrySize) {
        return VcgtProblem::kTooShort;
    }
    const uint8_t* entry = &tag[kVcgtTableOffset];
    for (uint32_t c = 0; c < channels; ++c) {
        std::vector<uint16_t>& run = curves->table[c];
        run.resize(entries);
        for (uint32_t i = 0; i < entries; ++i, entry += entrySize) {
            run[i] = entrySize == 2 ? icc::LoadBig16(entry) : static_cast<uint16_t>(*entry * 257);
        }
    }
    if (channels == 1) {
        curves->table[1] = curves->table[2] = curves->table[0];
    }
    return VcgtProblem::kNone;
}

VcgtProblem ReadFormula(const std::vector<uint8_t>& tag, VcgtCurves* curves) {
    if (tag.size() < kFormulaBytes) {
        return VcgtProblem::kTooShort;
    }
    for (int c = 0; c < 3; ++c) {
        const uint8_t* values = &tag[12 + 12 * c];
        curves->gamma[c] = Fixed15Dot16(values);
        curves->minimum[c] = Fixed15Dot16(values + 4);
        curves->maximum[c] = Fixed15Dot16(values + 8);
        if (!(curves->gamma[c] > 0.0)) {
            return VcgtProblem::kFormulaGamma;
        }
    }
    return VcgtProblem::kNone;
}

uint16_t Clipped(double value) {
    if (!(value > 0.0)) {
        return 0;
    }
    return value >= 65535.0 ? 65535 : static_cast<uint16_t>(value + 0.5);
}

}  // namespace

VcgtProblem ReadVcgtCurves(IccProfile* profile, VcgtCurves* curves) {
    TagBuffer buffer = {kVcgtSignature, 0, nullptr};
    if (IccGetTagData(profile, &buffer) != icc::kOk) {
        return VcgtProblem::kMissing;
    }
    if (buffer.size < kVcgtChannelCountOffset) {
        return VcgtProblem::kTooShort;
    }
    std::vector<uint8_t> tag(buffer.size);
    buffer.data = tag.data();
    if (IccGetTagData(profile, &buffer) != icc::kOk) {
        return VcgtProblem::kMissing;
    }
    VcgtCurves read;
    VcgtProblem problem = VcgtProblem::kUnknownType;
    const uint32_t type = icc::LoadBig32(&tag[kVcgtGammaTypeOffset]);
    if (type == kVcgtTableType) {
        problem = ReadTable(tag, &read);
    } else if (type == kVcgtFormulaType) {
        problem = ReadFormula(tag, &read);
    }
    if (problem == VcgtProblem::kNone) {
        *curves = read;
    }
    return problem;
}

std::vector<uint16_t> SampleVcgtCurve(const VcgtCurves& curves, int channel, int size) {
    std::vector<uint16_t> out(size > 0 ? size : 0);
    const std::vector<uint16_t>& run = curves.table[channel];
    const double last = size > 1 ? size - 1.0 : 1.0;
    for (int j = 0; j < size; ++j) {
        if (run.empty()) {
            const double x = j / last;
            const double range = curves.maximum[channel] - curves.minimum[channel];
            out[j] = Clipped(
                65535.0 * (curves.minimum[channel] + range * std::pow(x, curves.gamma[channel])));
            continue;
        }
        const double x = j * (run.size() - 1.0) / last;
        const size_t below = static_cast<size_t>(x);
        if (below + 1 >= run.size()) {
            out[j] = run.back();
            continue;
        }
        out[j] = Clipped(run[below] + (run[below + 1] - run[below]) * (x - below));
    }
    return out;
}

GammaRamp VcgtRamp(const VcgtCurves& curves) {
    GammaRamp ramp;
    for (int c = 0; c < 3; ++c) {
        const std::vector<uint16_t> entries = SampleVcgtCurve(curves, c, kRampSize);
        std::copy(entries.begin(), entries.end(), ramp.Channel(c));
    }
    return ramp;
}

VcgtCurves IdentityCurves() {
    VcgtCurves curves;
    for (std::vector<uint16_t>& run : curves.table) {
        run = {0, 65535};
    }
    return curves;
}

}  // namespace tonalis
