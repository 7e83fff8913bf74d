#include "search/number_matcher.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <tuple>

namespace cj::search::detail {
namespace {

using Occurrence = std::pair<std::size_t, std::size_t>;  // Offset in the text, number.

std::vector<Occurrence> Fast(const NumberMatcher& matcher, std::string_view text) {
    std::vector<Occurrence> found;
    matcher.FindAll(text.data(), text.data() + text.size(), [&](const char* at, std::size_t i) {
        found.emplace_back(static_cast<std::size_t>(at - text.data()), i);
    });
    std::sort(found.begin(), found.end());
    return found;
}

// The plain way: every number looked for at every offset.
std::vector<Occurrence> Naive(const std::vector<std::string>& numbers, std::string_view text) {
    std::vector<Occurrence> found;
    for (std::size_t i = 0; i < numbers.size(); ++i) {
        if (numbers[i].empty()) {
            continue;
        }
        for (std::size_t at = text.find(numbers[i]); at != std::string_view::npos;
             at = text.find(numbers[i], at + 1)) {
            found.emplace_back(at, i);
        }
    }
    std::sort(found.begin(), found.end());
    return found;
}

TEST(NumberMatcher, FindsEveryOccurrenceOnce) {
    const std::vector<std::string> numbers{
        "SF1400000000001", "SF14000000000012", "00000000", "aaa", "a", "SF1400000000001"};
    const NumberMatcher matcher(numbers);
    for (const std::string_view text :
         {std::string_view("SF1400000000001"), std::string_view("xxSF140000000000123"),
          std::string_view("aaaaa"), std::string_view(""), std::string_view("0000000000000"),
          std::string_view("SF140000000000")}) {
        EXPECT_EQ(Fast(matcher, text), Naive(numbers, text)) << text;
    }
}

TEST(NumberMatcher, OccurrencesMustLieWhollyInTheText) {
    const std::vector<std::string> numbers{"SF1400000000001", "ab"};
    const NumberMatcher matcher(numbers);
    const std::string text = "SF1400000000001ab";
    // The same bytes seen through a window that cuts the number or the pair.
    const char* begin = text.data() + 1;
    std::vector<Occurrence> found;
    matcher.FindAll(begin, text.data() + text.size() - 1,
                    [&](const char* at, std::size_t i) { found.emplace_back(at - begin, i); });
    EXPECT_TRUE(found.empty());
}

TEST(NumberMatcher, IgnoresEmptyNumbers) {
    const NumberMatcher matcher({"", "12"});
    EXPECT_EQ(Fast(matcher, "1212"), (std::vector<Occurrence>{{0, 1}, {2, 1}}));
    const NumberMatcher none({""});
    EXPECT_TRUE(Fast(none, "anything").empty());
}

// Random numbers over a small alphabet, so that they are prefixes and
// suffixes of each other and occur often, in every length class.
TEST(NumberMatcher, AgreesWithTheNaiveSearchOnRandomText) {
    std::mt19937 random(7);
    const std::string alphabet = "0123456789SF\xB0\xA1";
    const auto pick = [&](std::size_t n) {
        std::string s;
        for (std::size_t i = 0; i < n; ++i) {
            s += alphabet[random() % (alphabet.size() - (random() % 4 == 0 ? 0 : 4))];
        }
        return s;
    };
    for (int round = 0; round < 60; ++round) {
        const std::string text = pick(2000 + random() % 3000);
        std::vector<std::string> numbers;
        const std::size_t count = 1 + random() % 40;
        for (std::size_t i = 0; i < count; ++i) {
            const std::size_t length = 1 + random() % (round % 3 == 0 ? 6 : 20);
            if (random() % 2 == 0) {
                // Cut from the text: certain to occur.
                const std::size_t at = random() % (text.size() - length);
                numbers.push_back(text.substr(at, length));
            } else {
                numbers.push_back(pick(length));
            }
        }
        const NumberMatcher matcher(numbers);
        ASSERT_EQ(Fast(matcher, text), Naive(numbers, text)) << "round " << round;
    }
}

TEST(NumberMatcher, MemoryGrowsLinearlyWithTheNumbers) {
    std::mt19937 random(3);
    std::vector<std::string> numbers;
    std::size_t total = 0;
    for (int i = 0; i < 20000; ++i) {
        numbers.push_back("SF" + std::to_string(1000000000000ULL + random() % 1000000000000ULL));
        total += numbers.back().size();
    }
    const NumberMatcher matcher(numbers);
    EXPECT_LE(matcher.MemoryBytes(), 64 * total + 4096);
}

// A list saved without line breaks is one number of megabytes: it took a gram,
// and up to 64 bytes of table, for nearly each of its bytes (a 50 MB line
// took gigabytes). Its grams are now few, and it is found all the same.
TEST(NumberMatcher, AVeryLongNumberTakesFewGrams) {
    std::mt19937 random(4);
    std::string number(1 << 20, '0');
    for (char& c : number) {
        c = static_cast<char>('0' + random() % 10);
    }
    // The short number makes a group of its own.
    const std::vector<std::string> numbers{number, "SF14"};
    const NumberMatcher matcher(numbers);
    EXPECT_LE(matcher.MemoryBytes(), 2 * number.size());
    const std::string text = "x" + number + "SF14";
    EXPECT_EQ(Fast(matcher, text), (std::vector<Occurrence>{{1, 0}, {1 + number.size(), 1}}));
}

}  // namespace
}  // namespace cj::search::detail
