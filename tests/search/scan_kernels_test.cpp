#include "search/scan_kernels.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <string_view>

namespace cj::search::detail {
namespace {

ByteSurvey NaiveSurvey(std::string_view bytes) {
    ByteSurvey survey;
    for (const char c : bytes) {
        survey.lineEnds += (c == '\n' || c == '\x1A') ? 1U : 0U;
        survey.hasNul = survey.hasNul || c == '\0';
        survey.hasSub = survey.hasSub || c == '\x1A';
    }
    return survey;
}

// The offset of the first occurrence, or npos; FindBytes's pointer put the same way.
std::size_t NaiveFind(std::string_view haystack, std::string_view needle) {
    return haystack.find(needle);
}

std::size_t FastFind(std::string_view haystack, std::string_view needle) {
    const char* hit = FindBytes(haystack.data(), haystack.size(), needle.data(), needle.size());
    return hit == nullptr ? std::string_view::npos
                          : static_cast<std::size_t>(hit - haystack.data());
}

::testing::AssertionResult SameSurvey(std::string_view bytes) {
    const ByteSurvey fast = SurveyBytes(bytes.data(), bytes.size());
    const ByteSurvey naive = NaiveSurvey(bytes);
    if (fast.lineEnds == naive.lineEnds && fast.hasNul == naive.hasNul &&
        fast.hasSub == naive.hasSub) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure()
           << "over " << bytes.size() << " bytes: line ends " << fast.lineEnds << " (want "
           << naive.lineEnds << "), NUL " << fast.hasNul << " (want " << naive.hasNul << "), 0x1A "
           << fast.hasSub << " (want " << naive.hasSub << ")";
}

class ScanKernels : public ::testing::TestWithParam<Kernel> {
  protected:
    ScopedKernel m_kernel{GetParam()};
};

// Each needle at every start around the 16- and 32-byte blocks the vector
// kernels read, with near misses (first and last byte right, middle wrong)
// before it, and the haystack starting off any alignment.
TEST_P(ScanKernels, FindsNeedlesAtEveryBlockEdge) {
    const std::string needles[] = {"SF",
                                   "SS",
                                   "S\nF",
                                   std::string("S\0F", 3),
                                   "\x1A\x1A",
                                   std::string("\0\0", 2),
                                   "JD1400",
                                   "0123456789abcdef",
                                   "0123456789abcdefg",
                                   std::string(33, 'S') + "F"};
    for (const std::string& needle : needles) {
        for (std::size_t size = needle.size(); size <= 100; ++size) {
            for (std::size_t at = 0; at + needle.size() <= size; ++at) {
                // Filled with the needle's first byte, so that every start is a
                // candidate, unless that would make the needle itself.
                const char fill = needle.front() == needle.back() ? 'y' : needle.front();
                std::string buffer(size + 3, fill);
                for (std::size_t i = 0; i < buffer.size(); i += 7) {
                    buffer[i] = '\n';
                }
                const std::size_t shift = at % 3;
                std::string_view haystack(buffer.data() + shift, size);
                std::string near = needle;
                near[1] = 'x';
                for (std::size_t i = 0; i + near.size() <= at; i += near.size() + 5) {
                    buffer.replace(shift + i, near.size(), near);
                }
                buffer.replace(shift + at, needle.size(), needle);
                ASSERT_EQ(FastFind(haystack, needle), NaiveFind(haystack, needle))
                    << "needle of " << needle.size() << " bytes at " << at << " in " << size;
            }
        }
    }
}

TEST_P(ScanKernels, FindsNothingWhereOnlyTheEndsMatch) {
    // Every candidate start passes the first-and-last-byte test and fails the
    // comparison of the middle.
    const std::string haystack(1000, 'S');
    EXPECT_EQ(FastFind(haystack, "SxS"), std::string_view::npos);
    EXPECT_EQ(FastFind(haystack, std::string(40, 'S') + "xS"), std::string_view::npos);
    EXPECT_EQ(FastFind(std::string_view(haystack.data(), 1), "SS"), std::string_view::npos);
    EXPECT_EQ(FastFind(std::string_view(), "SS"), std::string_view::npos);
}

TEST_P(ScanKernels, FindAgreesWithTheNaiveSearchOnGeneratedBytes) {
    std::mt19937 random(7);
    const char alphabet[] = {'S', 'F', 'x', '\n', '\r', '\0', '\x1A', '\xE4'};
    const auto pick = [&] { return alphabet[random() % std::size(alphabet)]; };
    for (int round = 0; round < 3000; ++round) {
        std::string haystack(random() % 300, ' ');
        for (char& c : haystack) {
            c = pick();
        }
        std::string needle(2 + random() % 5, ' ');
        for (char& c : needle) {
            c = pick();
        }
        ASSERT_EQ(FastFind(haystack, needle), NaiveFind(haystack, needle))
            << "round " << round << ", needle of " << needle.size() << " bytes in "
            << haystack.size();
    }
}

TEST_P(ScanKernels, SurveyAgreesWithTheNaiveCountOnGeneratedBytes) {
    std::mt19937 random(11);
    const char alphabet[] = {'a', '\n', '\r', '\0', '\x1A', '\xFF'};
    for (std::size_t size = 0; size <= 200; ++size) {
        for (std::size_t shift = 0; shift < 3; ++shift) {
            std::string buffer(size + shift, 'a');
            for (char& c : buffer) {
                c = random() % 4 == 0 ? alphabet[random() % std::size(alphabet)] : 'a';
            }
            EXPECT_TRUE(SameSurvey(std::string_view(buffer).substr(shift)));
        }
    }
}

TEST_P(ScanKernels, SurveyFindsLoneBytesInEveryPosition) {
    // A single NUL or 0x1A in the vector part or in the scalar tail.
    for (const char lone : {'\0', '\x1A', '\n'}) {
        for (std::size_t at = 0; at < 70; ++at) {
            std::string buffer(70, 'a');
            buffer[at] = lone;
            EXPECT_TRUE(SameSurvey(buffer)) << "byte " << int{lone} << " at " << at;
        }
    }
}

TEST_P(ScanKernels, SurveyCountsPastTheLaneLimit) {
    // Each byte lane counts to 255 before it is folded into the total; a
    // buffer of nothing but line ends overflows a lane that is folded late.
    for (const std::size_t size :
         {std::size_t{255 * 32 - 1}, std::size_t{255 * 32 * 3 + 17}, std::size_t{100000}}) {
        EXPECT_TRUE(SameSurvey(std::string(size, '\n')));
        EXPECT_TRUE(SameSurvey(std::string(size, '\x1A')));
    }
}

INSTANTIATE_TEST_SUITE_P(Kernels, ScanKernels, ::testing::ValuesIn(AvailableKernels()),
                         [](const ::testing::TestParamInfo<Kernel>& kernel) {
                             return std::string(KernelName(kernel.param));
                         });

TEST(ScopedKernel, RestoresTheKernelItFound) {
    const Kernel fastest = ActiveKernel();
    EXPECT_EQ(fastest, AvailableKernels().back());
    {
        const ScopedKernel outer(Kernel::Portable);
        EXPECT_EQ(ActiveKernel(), Kernel::Portable);
        {
            const ScopedKernel inner(fastest);
            EXPECT_EQ(ActiveKernel(), fastest);
        }
        EXPECT_EQ(ActiveKernel(), Kernel::Portable);
    }
    EXPECT_EQ(ActiveKernel(), fastest);
    EXPECT_EQ(AvailableKernels().front(), Kernel::Portable);
}

}  // namespace
}  // namespace cj::search::detail
