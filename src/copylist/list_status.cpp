#include "copylist/list_status.h"

#include <cmath>
#include <cstdio>

#include "platform/free_space.h"

namespace cj::copylist {

double RoundToHundredths(double value) {
    if (!std::isfinite(value)) {
        return value;
    }
    // The small nudge keeps a half such as 1.005 (100.4999... once scaled,
    // for its binary form) from rounding down.
    double whole = 0;
    const double fraction = std::modf(std::fabs(value) * 100.0 + 1e-12, &whole);
    if (fraction >= 0.5) {
        whole += 1.0;
    }
    const double rounded = whole / 100.0;
    // A negative figure keeps its sign even when it rounds to zero: the
    // free-space text shows a failed query as -0.
    return value < 0 ? -rounded : rounded;
}

std::string FigureText(double value) {
    char text[64];
    const int length = std::snprintf(text, sizeof text, "%.13g", value);
    return length > 0 ? std::string(text, static_cast<std::size_t>(length)) : std::string();
}

double ListMegabytes(std::int64_t bytes) {
    return RoundToHundredths(static_cast<double>(bytes) / 1048576.0);
}

double FreeMegabytes(const std::string& targetText) {
    std::uint64_t bytes = 0;
    const std::error_code error = platform::FreeBytes(targetText, bytes);
    return FreeMegabytesOf(error, bytes);
}

double FreeMegabytesOf(std::error_code error, std::uint64_t bytes) {
    // Whole KiB first, as the text has always counted them; 64 bits, so a
    // disk of 2 TiB or more does not wrap.
    const std::int64_t kibibytes = error ? -1 : static_cast<std::int64_t>(bytes >> 10);
    return RoundToHundredths(static_cast<double>(kibibytes) / 1024.0);
}

}  // namespace cj::copylist
