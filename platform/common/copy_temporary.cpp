// What the copies of every system share: the temporaries' names and the
// copy's own errors.
#include "platform/common/copy_temporary.h"

#include <atomic>
#include <chrono>

#include "platform/file_copy.h"
#include "platform/path_text.h"

namespace cj::platform {
namespace {

constexpr std::string_view Prefix = ".cjcopy-";
constexpr std::string_view Suffix = ".part";
constexpr std::size_t Digits = 16;

class CopyErrorCategoryImpl final : public std::error_category {
  public:
    const char* name() const noexcept override { return "copy"; }
    std::string message(int value) const override {
        switch (static_cast<CopyError>(value)) {
            case CopyError::NotRegularFile:
                return "not a regular file";
            case CopyError::SourceChanged:
                return "the file changed size while it was copied";
        }
        return "unknown copy error";
    }
};

}  // namespace

const std::error_category& CopyErrorCategory() {
    static const CopyErrorCategoryImpl category;
    return category;
}

bool IsCopyTemporaryName(std::string_view name) {
    if (name.size() != Prefix.size() + Digits + Suffix.size() || !name.starts_with(Prefix) ||
        !name.ends_with(Suffix)) {
        return false;
    }
    for (const char c : name.substr(Prefix.size(), Digits)) {
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) {
            return false;
        }
    }
    return true;
}

std::string CopyTemporaryName(std::uint64_t processId) {
    // Unique within the process by the counter, across processes by the id and
    // the clock; a clash is caught by the exclusive create, which tries again.
    static std::atomic<std::uint64_t> counter{0};
    const auto now =
        static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
    std::uint64_t x = (processId << 40) ^ now ^ (counter.fetch_add(1) * 0x9E3779B97F4A7C15u);
    // A mix, so that names made in a row do not share their digits.
    x ^= x >> 31;
    x *= 0xBF58476D1CE4E5B9u;
    x ^= x >> 27;
    std::string name(Prefix);
    constexpr char Hex[] = "0123456789abcdef";
    for (std::size_t i = 0; i < Digits; ++i) {
        name += Hex[(x >> (60 - 4 * i)) & 0xF];
    }
    name += Suffix;
    return name;
}

std::string CopyTemporaryPath(std::string_view target, std::uint64_t processId) {
    const std::size_t cut = FindLastSeparator(target);
    std::string path(cut == std::string_view::npos ? std::string_view{}
                                                   : target.substr(0, cut + 1));
    return path + CopyTemporaryName(processId);
}

}  // namespace cj::platform
