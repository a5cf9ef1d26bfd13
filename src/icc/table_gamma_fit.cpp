// The least-squares gamma of a sampled curve.
#include "icc/table_gamma_fit.h"

#include <cmath>

#include "icc/byte_order.h"

namespace tonalis::icc {

// ln x(k) = ln k - ln(count - 1) and ln y(k) = ln entry - ln 65535: the
// logarithms of the two constants are taken once, not once per sample.
double FitTableGamma(const uint8_t* entries, uint32_t count) {
    const double lastIndexLog = std::log(double(count - 1));
    const double fullScaleLog = std::log(65535.0);
    double sxx = 0.0;
    double sxy = 0.0;
    for (uint32_t k = 1; k < count; ++k) {
        const uint16_t entry = LoadBig16(entries + 2 * k);
        if (entry == 0) {
            continue;
        }
        const double lx = std::log(double(k)) - lastIndexLog;
        sxx += lx * lx;
        sxy += lx * (std::log(double(entry)) - fullScaleLog);
    }
    return sxx == 0.0 ? 1.0 : sxy / sxx;
}

}  // namespace tonalis::icc
