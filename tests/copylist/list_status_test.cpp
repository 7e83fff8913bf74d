#include "copylist/list_status.h"

#include <gtest/gtest.h>
#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#endif

#include <cmath>
#include <cstdint>

#include "temp_dir.h"
#ifndef _WIN32
#include "ordinary_user.h"
#endif

namespace cj::copylist {
namespace {

struct RoundCase {
    double value;
    double rounded;
};

TEST(ListStatus, RoundsHalfAwayFromZeroToHundredths) {
    const RoundCase cases[] = {
        {0.0, 0.0},
        {1536.0, 1536.0},
        {12.5, 12.5},
        {1.234, 1.23},
        {1.235, 1.24},
        // Halves whose binary form lies just below: the nudge carries them up.
        {1.005, 1.01},
        {2.675, 2.68},
        {0.995, 1.0},
        {1.0049, 1.0},
        {-1.005, -1.01},
        {-2.345, -2.35},
        {3145728.004, 3145728.0},
    };
    for (const RoundCase& c : cases) {
        EXPECT_DOUBLE_EQ(RoundToHundredths(c.value), c.rounded) << c.value;
    }
    // A negative value that rounds to zero keeps its sign.
    EXPECT_TRUE(std::signbit(RoundToHundredths(-0.001)));
    EXPECT_EQ(RoundToHundredths(-0.001), 0.0);
    EXPECT_TRUE(std::signbit(RoundToHundredths(-0.0049)));
    EXPECT_FALSE(std::signbit(RoundToHundredths(0.001)));
}

TEST(ListStatus, FiguresPrintWithoutTrailingZeros) {
    EXPECT_EQ(FigureText(1536.0), "1536");
    EXPECT_EQ(FigureText(12.5), "12.5");
    EXPECT_EQ(FigureText(1.01), "1.01");
    EXPECT_EQ(FigureText(0.0), "0");
    EXPECT_EQ(FigureText(-0.0), "-0");
    EXPECT_EQ(FigureText(3145728.0), "3145728");
    EXPECT_EQ(FigureText(RoundToHundredths(0.1 + 0.2)), "0.3");
    EXPECT_EQ(FigureText(RoundToHundredths(12345678.905)), "12345678.91");
}

TEST(ListStatus, ListSizeIsMegabytesOfA64BitTotal) {
    EXPECT_EQ(FigureText(ListMegabytes(0)), "0");
    EXPECT_EQ(FigureText(ListMegabytes(1536LL << 20)), "1536") << "1.5 GiB";
    EXPECT_EQ(FigureText(ListMegabytes(5LL << 30)), "5120") << "5 GiB";
    EXPECT_EQ(FigureText(ListMegabytes(3LL << 40)), "3145728") << "3 TiB";
    EXPECT_EQ(FigureText(ListMegabytes(1536)), "0") << "1.5 KiB";
    EXPECT_EQ(FigureText(ListMegabytes(5767168)), "5.5");
    // A list whose only file has gone counts -1 byte.
    EXPECT_EQ(FigureText(ListMegabytes(-1)), "-0");
}

TEST(ListStatus, FreeSpaceCountsWholeKibibytesWithoutWrapping) {
    EXPECT_EQ(FigureText(FreeMegabytesOf({}, 3ULL << 40)), "3145728") << "3 TiB";
    EXPECT_EQ(FigureText(FreeMegabytesOf({}, (3ULL << 40) + 1023)), "3145728");
    EXPECT_EQ(FigureText(FreeMegabytesOf({}, 1536ULL << 20)), "1536");
    EXPECT_EQ(FigureText(FreeMegabytesOf({}, 1023)), "0") << "less than a KiB counts nothing";
    EXPECT_EQ(FigureText(FreeMegabytesOf({}, 10ULL << 10)), "0.01");
    // Eighteen exbibytes is beyond any disk, but must not turn negative.
    EXPECT_GT(FreeMegabytesOf({}, UINT64_MAX), 0.0);
    const std::error_code failed = std::make_error_code(std::errc::permission_denied);
    EXPECT_EQ(FigureText(FreeMegabytesOf(failed, 1ULL << 40)), "-0");
}

#ifndef _WIN32
TEST(ListStatus, FreeSpaceAsksTheTargetsFileSystem) {
    // /proc never has room, the root file system does: the figure follows
    // the folder typed, and a folder still to be made is answered by the one
    // it would be made in.
    EXPECT_EQ(FigureText(FreeMegabytes("/proc/not-yet/made")), "0");
    EXPECT_GT(FreeMegabytes("/"), 0.0);

    test::TempDir dir;
    dir.MakeDirs("closed");
    ASSERT_EQ(::chmod(dir.Path().c_str(), 0755), 0);
    ASSERT_EQ(::chmod((dir / "closed").c_str(), 0700), 0);
    const std::string target = dir / "closed/inner";
    const int result = test::RunAsOrdinaryUser(
        [&target] { return FigureText(FreeMegabytes(target)) == "-0" ? 0 : 1; });
    EXPECT_EQ(result, 0) << "a failed query shows -0";
}
#else
TEST(ListStatus, FreeSpaceAsksTheTargetsDrive) {
    // The drive of a folder still to be made answers for it; a drive that
    // does not exist cannot be asked and shows -0.
    test::TempDir dir;
    EXPECT_GT(FreeMegabytes(dir / "not-yet/made"), 0.0);
    EXPECT_GT(FreeMegabytes("C:\\"), 0.0);
    std::string missing;
    for (char drive = 'Q'; drive <= 'Y' && missing.empty(); ++drive) {
        const std::string root = std::string(1, drive) + ":\\";
        if (GetDriveTypeA(root.c_str()) == DRIVE_NO_ROOT_DIR) {
            missing = root + "out";
        }
    }
    ASSERT_FALSE(missing.empty());
    EXPECT_EQ(FigureText(FreeMegabytes(missing)), "-0");
}
#endif

}  // namespace
}  // namespace cj::copylist
