// The code page the test runner asked for (CJ_EXPECT_CODE_PAGE) is the one the
// tests run in: a locale that failed to set up must fail here, not turn every
// Chinese case into a skip.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "platform/code_page.h"
#include "temp_dir.h"

namespace cj::platform {
namespace {

TEST(ActiveCodePage, IsTheOneTheRunnerAskedFor) {
    const char* expected = std::getenv("CJ_EXPECT_CODE_PAGE");
    if (expected == nullptr) {
        GTEST_SKIP() << "CJ_EXPECT_CODE_PAGE is not set";
    }
    ASSERT_EQ(std::to_string(GetACP()), expected);
    if (std::string(expected) == "936") {
        EXPECT_EQ(ActiveCodePage(), CodePage::Gbk);
    } else if (std::string(expected) == "1252") {
        EXPECT_EQ(ActiveCodePage(), CodePage::SingleByte);
    }
}

TEST(ActiveCodePage, ChineseNamesReachTheDiskAndComeBack) {
    if (ActiveCodePage() != CodePage::Gbk) {
        GTEST_SKIP() << "needs the Chinese code page 936";
    }
    test::TempDir dir;
    const std::string name = "\xCB\xB3\xB7\xE1.jpg";  // 顺丰.jpg
    dir.WriteFile(name, "x");
    WIN32_FIND_DATAA found;
    const HANDLE find = FindFirstFileA((dir / "*.jpg").c_str(), &found);
    ASSERT_NE(find, INVALID_HANDLE_VALUE);
    FindClose(find);
    EXPECT_EQ(std::string(found.cFileName), name);
}

}  // namespace
}  // namespace cj::platform
