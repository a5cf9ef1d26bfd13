// The benchmark's measure checked against published colour differences, and
// its results guarded: what the model can fit stays near an instrument, and
// the known losses get no worse than recorded.
#include <gtest/gtest.h>

#include "benchmark_rows.h"

namespace tonalis::accuracy {
namespace {

// Pairs of Sharma, Wu and Dalal's CIEDE2000 test data (Color Research and
// Application 30, 2005), with their published differences; among them the
// hue angle's discontinuities and near-neutral pairs.
TEST(DeltaE2000, GivesSharmaWuDalalsPublishedDifferences) {
    const struct {
        cmsCIELab a, b;
        double expected;
    } pairs[] = {
        {{50, 2.6772, -79.7751}, {50, 0, -82.7485}, 2.0425},
        {{50, 0, 0}, {50, -1, 2}, 2.3669},
        {{50, 2.49, -0.001}, {50, -2.49, 0.0009}, 7.1792},
        {{50, 2.49, -0.001}, {50, -2.49, 0.0011}, 7.2195},
        {{50, -0.001, 2.49}, {50, 0.0011, -2.49}, 4.7461},
        {{50, 2.5, 0}, {73, 25, -18}, 27.1492},
        {{60.2574, -34.0099, 36.2677}, {60.4626, -34.1751, 39.4387}, 1.2644},
        {{90.9257, -0.5406, -0.9208}, {88.6381, -0.8985, -0.7239}, 1.5381},
        {{6.7747, -0.2908, -2.4247}, {5.8714, -0.0985, -2.2286}, 0.6377},
        {{2.0776, 0.0795, -1.135}, {0.9033, -0.0636, -0.5514}, 0.9082},
    };
    for (const auto& p : pairs) {
        EXPECT_NEAR(DeltaE2000(p.a, p.b), p.expected, 5e-5) << p.a.L << " " << p.b.L;
        EXPECT_NEAR(DeltaE2000(p.b, p.a), p.expected, 5e-5) << p.a.L << " " << p.b.L;
    }
}

TEST(AccuracyBenchmark, FittedDisplaysStayNearAnInstrumentAndLossesGetNoWorse) {
    const std::vector<RecordedLoss> losses =
        ReadKnownLosses(RecordedFolder() + "/known_losses.txt");
    for (const BenchmarkRow& row : RunBenchmark(kUsersTarget)) {
        const std::string& id = row.display.id;
        // Fine-tuning never loses, and brings the curves that are no power
        // law within what the model's fitted displays get.
        EXPECT_LE(row.fine.meanDeltaE, row.eye.meanDeltaE + 0.005) << id;
        EXPECT_LE(row.fine.maxDeltaE, row.eye.maxDeltaE + 0.005) << id;
        if (id == "srgb" || id == "s-curve" || id == "video-range") {
            EXPECT_LE(row.fine.meanDeltaE, 1.0) << id;
            EXPECT_LE(row.fine.maxDeltaE, 3.0) << id;
        }
        if (row.display.modelFits) {
            EXPECT_LE(row.eye.meanDeltaE, 1.0) << id;
            EXPECT_LE(row.eye.maxDeltaE, 3.0) << id;
            EXPECT_LT(row.eye.whiteDeltaUv, 0.003) << id;
            EXPECT_LT(row.eye.greyDeltaUv, 0.003) << id;
            ASSERT_TRUE(row.hasDispcal) << id << ": no recorded dispcal result";
            EXPECT_LE(row.eye.meanDeltaE, row.dispcal.meanDeltaE + 0.5) << id;
            continue;
        }
        bool recorded = false;
        for (const RecordedLoss& loss : losses) {
            if (loss.id == id) {
                recorded = true;
                // Recorded to two places.
                EXPECT_LE(row.eye.meanDeltaE, loss.mean + 0.005) << id;
                EXPECT_LE(row.eye.maxDeltaE, loss.max + 0.005) << id;
            }
        }
        EXPECT_TRUE(recorded) << id << ": no recorded loss";
    }
}

}  // namespace
}  // namespace tonalis::accuracy
