// The gamma that a sampled tone curve gets, written out here from the rule
// itself and not from the library: the standard RGB curve reads as 2.2, a
// pure power as its exponent, anything else as a least-squares power law.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace tonalis::icc::testing {

struct RuleGamma {
    double gamma;
    bool simple;
};

// entries: y(k) = entry / 65535 at x(k) = k / (n - 1), n >= 2.
inline RuleGamma GammaByTableRule(const std::vector<uint16_t>& entries) {
    const size_t n = entries.size();
    auto x = [n](size_t k) { return double(k) / double(n - 1); };
    auto y = [&entries](size_t k) { return entries[k] / 65535.0; };
    if (n >= 128) {
        bool srgb = true;
        for (size_t k = 0; k < n && srgb; ++k) {
            const double v = x(k);
            const double f = v > 0.03928 ? std::pow((v + 0.055) / 1.055, 2.4) : v / 12.92;
            srgb = std::fabs(y(k) - f) <= 1e-4;
        }
        if (srgb) {
            return {2.2, true};
        }
        const double middle = y(n / 2);
        if (middle >= 0.01 && middle <= 0.99) {
            const double gamma = std::log(middle) / std::log(x(n / 2));
            bool power = true;
            for (size_t k = 0; k < n && power; ++k) {
                const double v = x(k);
                const double f = std::clamp(std::pow(v, gamma), v / 16, 16 * v);
                power = std::fabs(std::clamp(y(k), v / 16, 16 * v) - f) <= 1e-4;
            }
            if (power) {
                return {gamma, true};
            }
        }
    }
    double sxx = 0.0;
    double sxy = 0.0;
    for (size_t k = 1; k < n; ++k) {
        if (entries[k] != 0) {
            sxx += std::log(x(k)) * std::log(x(k));
            sxy += std::log(x(k)) * std::log(y(k));
        }
    }
    return {sxx == 0.0 ? 1.0 : sxy / sxx, false};
}

}  // namespace tonalis::icc::testing
