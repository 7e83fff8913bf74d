#include "platform/byte_size.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>

#include "platform/code_page.h"

namespace cj::platform {
namespace {

struct SizeCase {
    std::uint64_t bytes;
    const char* text;
};

#ifndef _WIN32
// The posix formatter's own table; Windows prints the system's text.
TEST(FormatByteSize, FollowsTheShortFormatTable) {
    constexpr std::uint64_t KB = 1024;
    constexpr std::uint64_t MB = KB * KB;
    constexpr std::uint64_t GB = MB * KB;
    const SizeCase cases[] = {
        // Plain bytes below one KB, including the 1000..1023 stretch.
        {0, "0 B"},
        {1, "1 B"},
        {532, "532 B"},
        {1000, "1000 B"},
        {1023, "1023 B"},
        // Two decimals below 10 of a unit, truncated rather than rounded.
        {1024, "1.00 KB"},
        {1536, "1.50 KB"},
        {2047, "1.99 KB"},
        {10 * KB - 1, "9.99 KB"},
        // One decimal below 100, none below 1000.
        {10 * KB, "10.0 KB"},
        {12800, "12.5 KB"},
        {100 * KB - 1, "99.9 KB"},
        {100 * KB, "100 KB"},
        {1023000, "999 KB"},
        // From 1000 of a unit on, a fraction of the next unit.
        {1000 * KB, "0.97 MB"},
        {MB - 1, "0.99 MB"},
        {MB, "1.00 MB"},
        {1288490188, "1.19 GB"},
        // Sizes past 2 and 4 GiB must not wrap.
        {5 * GB, "5.00 GB"},
        {std::uint64_t{3} << 40, "3.00 TB"},
        {std::uint64_t{1} << 60, "1.00 EB"},
        {std::numeric_limits<std::uint64_t>::max(), "15.9 EB"},
    };
    for (const SizeCase& c : cases) {
        EXPECT_EQ(FormatByteSize(c.bytes), c.text) << c.bytes;
    }
}

#endif  // !_WIN32

#ifdef _WIN32
bool EndsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() &&
           text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// Windows prints the system's own text, in the active code page. Wine prints
// the numbers of the table above exactly, but real Windows' digits may differ
// from it: only the units and the plain byte counts are held here.
TEST(FormatByteSize, UsesTheSystemsTextInTheActiveCodePage) {
    // "字节" (bytes) in GBK.
    const std::string bytes = ActiveCodePage() == CodePage::Gbk ? " \xD7\xD6\xBD\xDA" : " bytes";
    EXPECT_EQ(FormatByteSize(0), "0" + bytes);
    EXPECT_EQ(FormatByteSize(532), "532" + bytes);
    EXPECT_EQ(FormatByteSize(1023), "1023" + bytes);

    constexpr std::uint64_t KB = 1024;
    const struct {
        std::uint64_t bytes;
        const char* start;
        const char* unit;
    } cases[] = {
        {1536, "1", " KB"},
        {100 * KB, "100", " KB"},
        {KB * KB, "1", " MB"},
        // Sizes past 2 and 4 GiB must not wrap.
        {5 * KB * KB * KB, "5", " GB"},
        {std::uint64_t{3} << 40, "3", " TB"},
        {std::uint64_t{1} << 50, "1", " PB"},
        {std::uint64_t{1} << 60, "1", " EB"},
        // Past what the system's signed count holds: the largest it says,
        // never a negative count.
        {std::numeric_limits<std::uint64_t>::max(), "7", " EB"},
    };
    for (const auto& c : cases) {
        const std::string text = FormatByteSize(c.bytes);
        EXPECT_TRUE(text.rfind(c.start, 0) == 0 && EndsWith(text, c.unit))
            << c.bytes << ": " << text;
    }
}
#endif  // _WIN32

}  // namespace
}  // namespace cj::platform
