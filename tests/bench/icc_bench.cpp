// Open + extract + close of a display profile through our library, beside
// LittleCMS opening the same bytes and reading the same tags. The Versus
// benchmark prints lcms/ours, and ours must come out at least as fast both on
// the typical profile (profile:0, what the applet writes) and on the measured
// panel (profile:1), where extraction also fits a gamma to each 256-entry
// table, work that LittleCMS's bare read does not do.
#include <benchmark/benchmark.h>
#include <lcms2.h>

#include <chrono>
#include <cstring>
#include <fstream>
#include <iterator>
#include <vector>

#include "icc/byte_order.h"
#include "icc/icc_library.h"

namespace tonalis {
namespace {

using Bytes = std::vector<uint8_t>;

// What the applet writes: gammas, HDTV primaries at 6500 K and a 'vcgt'.
Bytes AppletProfile() {
    const AllocatorHooks hooks = DefaultAllocatorHooks();
    IccLibInit(&hooks);
    ProfileInfo info = {};
    info.kind = kProfileInfoValues;
    const double primaries[3][3] = {
        {0.41235, 0.21262, 0.01933}, {0.35766, 0.71531, 0.11922}, {0.18018, 0.07207, 0.94894}};
    std::memcpy(info.primaries, primaries, sizeof primaries);
    info.gamma[0] = info.gamma[1] = info.gamma[2] = 2.2;
    info.white[0] = 0.95018;
    info.white[1] = 1.0;
    info.white[2] = 1.08748;
    char text[kProfileTextSize] = "Monitor calibrated 2026-01-01";
    info.text = text;
    IccProfile* profile = nullptr;
    IccOpenProfile(kIccInterfaceVersion, &info, &profile);
    Bytes vcgt(1584, 0);
    icc::StoreBig32(vcgt.data(), icc::Sig("vcgt"));
    for (int k = 0; k < 768; ++k) {
        icc::StoreBig16(&vcgt[size_t(18 + 2 * k)], uint16_t((k % 256) * 257));
    }
    TagBuffer tag = {icc::Sig("vcgt"), uint32_t(vcgt.size()), vcgt.data()};
    IccSetTagData(profile, &tag);
    uint32_t size = 0;
    IccWriteProfile(profile, nullptr, &size);
    Bytes image(size);
    IccWriteProfile(profile, image.data(), &size);
    IccCloseProfile(profile);
    IccLibShutdown();
    return image;
}

// A measured laptop panel with 256-entry curves, when colord-tests is there.
Bytes MeasuredProfile() {
    std::ifstream in("/usr/libexec/installed-tests/colord/ibm-t61.icc", std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

const Bytes& Image(int which) {
    static const Bytes applet = AppletProfile();
    static const Bytes measured = MeasuredProfile();
    return which == 0 ? applet : measured;
}

bool OursOnce(const Bytes& image) {
    ProfileInfo info = {};
    char text[kProfileTextSize];
    info.kind = kProfileInfoImage;
    info.image = image.data();
    info.text = text;
    IccProfile* profile = nullptr;
    if (IccOpenProfile(kIccInterfaceVersion, &info, &profile) != 0) {
        return false;
    }
    info.kind = kProfileInfoValues;
    uint8_t simple = 0;
    const bool ok = IccExtractInfo(kIccInterfaceVersion, profile, &info, &simple) == 0;
    benchmark::DoNotOptimize(info);
    IccCloseProfile(profile);
    return ok;
}

// The same tags as our extraction reads, in LittleCMS's own types.
bool LcmsOnce(const Bytes& image) {
    cmsHPROFILE profile = cmsOpenProfileFromMem(image.data(), cmsUInt32Number(image.size()));
    if (profile == nullptr) {
        return false;
    }
    char text[kProfileTextSize];
    cmsGetProfileInfoASCII(profile, cmsInfoDescription, "en", "US", text, sizeof text);
    bool ok = true;
    for (cmsTagSignature tag : {cmsSigMediaWhitePointTag, cmsSigMediaBlackPointTag,
                                cmsSigRedColorantTag, cmsSigGreenColorantTag, cmsSigBlueColorantTag,
                                cmsSigRedTRCTag, cmsSigGreenTRCTag, cmsSigBlueTRCTag}) {
        void* data = cmsReadTag(profile, tag);
        ok = ok && (data != nullptr || tag == cmsSigMediaBlackPointTag);
        benchmark::DoNotOptimize(data);
    }
    benchmark::DoNotOptimize(text);
    cmsCloseProfile(profile);
    return ok;
}

class HooksInstalled {
  public:
    HooksInstalled() {
        const AllocatorHooks hooks = DefaultAllocatorHooks();
        IccLibInit(&hooks);
    }
    ~HooksInstalled() { IccLibShutdown(); }
};

void BM_IccOpenExtractClose(benchmark::State& state) {
    const Bytes& image = Image(int(state.range(0)));
    HooksInstalled hooks;
    for (auto _ : state) {
        if (!OursOnce(image)) {
            state.SkipWithError("profile refused");
            break;
        }
    }
}

void BM_LcmsOpenReadClose(benchmark::State& state) {
    const Bytes& image = Image(int(state.range(0)));
    for (auto _ : state) {
        if (!LcmsOnce(image)) {
            state.SkipWithError("profile refused");
            break;
        }
    }
}

// Both in turn on the same bytes; the counter lcms/ours is the ratio.
void BM_IccVersusLcms(benchmark::State& state) {
    const Bytes& image = Image(int(state.range(0)));
    HooksInstalled hooks;
    using Clock = std::chrono::steady_clock;
    constexpr int kBatch = 32;
    Clock::duration ours{};
    Clock::duration lcms{};
    for (auto _ : state) {
        const auto start = Clock::now();
        for (int i = 0; i < kBatch; ++i) {
            OursOnce(image);
        }
        const auto middle = Clock::now();
        for (int i = 0; i < kBatch; ++i) {
            LcmsOnce(image);
        }
        ours += middle - start;
        lcms += Clock::now() - middle;
    }
    const double ratio = double(lcms.count()) / double(ours.count());
    state.counters["lcms/ours"] = ratio;
    if (ratio < 1.0) {
        state.SkipWithError("our library is slower than LittleCMS");
    }
}

void Profiles(benchmark::internal::Benchmark* b) {
    b->ArgName("profile")->Arg(0);
    if (!Image(1).empty()) {
        b->Arg(1);
    }
    b->Unit(benchmark::kMicrosecond);
}

BENCHMARK(BM_IccOpenExtractClose)->Apply(Profiles);
BENCHMARK(BM_LcmsOpenReadClose)->Apply(Profiles);
BENCHMARK(BM_IccVersusLcms)->Apply(Profiles);

}  // namespace
}  // namespace tonalis
