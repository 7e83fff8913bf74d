#include "copylist/transfer_rate.h"

#include <cmath>

namespace cj::copylist {

void TransferRate::Add(Clock::time_point at, std::uint64_t bytes) {
    m_samples.push_back({at, bytes});
    // One sample older than the window stays, so that the window is always
    // spanned in full once the copy has run that long.
    while (m_samples.size() > 2 && at - m_samples[1].at >= Window) {
        m_samples.pop_front();
    }
}

std::optional<double> TransferRate::BytesPerSecond() const {
    if (m_samples.size() < 2) {
        return std::nullopt;
    }
    const Sample& first = m_samples.front();
    const Sample& last = m_samples.back();
    const auto span = std::chrono::duration<double>(last.at - first.at);
    if (span < Shortest || last.bytes < first.bytes) {
        return std::nullopt;
    }
    return static_cast<double>(last.bytes - first.bytes) / span.count();
}

std::optional<std::uint64_t> TransferRate::SecondsLeft(std::uint64_t remaining) const {
    const std::optional<double> rate = BytesPerSecond();
    if (!rate || *rate <= 0) {
        return std::nullopt;
    }
    return static_cast<std::uint64_t>(std::ceil(static_cast<double>(remaining) / *rate));
}

}  // namespace cj::copylist
