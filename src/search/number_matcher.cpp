#include "search/number_matcher.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <utility>

namespace cj::search::detail {
namespace {

// Waybill numbers (10 bytes and more) make one group. Its grams are as short
// as they can be while few of the text's grams are among them: a shorter gram
// means a longer step between samples, but also more samples that pass the
// bitmap only to be compared in vain. Names are mostly digits, so the group
// takes the shortest gram of 5 to 8 bytes whose 10^q digit grams hold its
// grams at most ten times over. Measured over the 10M benchmark index: 1,000
// numbers of 11-15 bytes run fastest with 5-byte grams (every 7 bytes),
// 10,000 with 6-byte ones (every 6 bytes); 5-byte grams make 10,000 numbers
// 30% slower. The odd stray token below 10 bytes goes to a group of its own
// with grams half its length, so that it does not slow the search for the
// others.
constexpr std::size_t LongNumber = 10;
constexpr std::size_t MinLongGram = 5;
constexpr std::size_t MaxGram = 8;
constexpr std::size_t DigitGramsPerGram = 10;

std::size_t LongGramSize(std::size_t numbers, std::size_t shortest) {
    std::size_t digitGrams = 100000;  // 10^MinLongGram.
    for (std::size_t gram = MinLongGram; gram < MaxGram; ++gram, digitGrams *= 10) {
        if (numbers * (shortest - gram + 1) * DigitGramsPerGram <= digitGrams) {
            return gram;
        }
    }
    return MaxGram;
}

// Any step up to the shortest number's length less the gram's, plus one, finds
// every occurrence; a shorter one only samples more. Capping it keeps a stray
// token of megabytes (a list saved without line breaks) from taking a gram for
// nearly each of its bytes; waybill numbers never reach the cap.
constexpr std::size_t MaxStep = 16;
// Beyond this many grams a group samples more densely instead of keeping more
// grams: a list of millions of numbers then costs at most GramBudgetShare
// grams per byte of numbers (each gram is up to 64 bytes of the matcher's,
// see the header). The benchmark's lists of up to 100,000 numbers stay below
// the floor, so their speed is as measured.
constexpr std::size_t MinGramBudget = std::size_t{1} << 20;
constexpr std::size_t GramBudgetShare = 4;  // One gram per 4 bytes of numbers.

// 32 to 64 bits for every gram: about one sample in 32 on text that holds
// none of them passes the bitmap.
constexpr std::size_t BitsPerGram = 32;
constexpr std::size_t MinBits = 4096;

unsigned Log2(std::size_t powerOfTwo) {
    return static_cast<unsigned>(std::countr_zero(powerOfTwo));
}

}  // namespace

NumberMatcher::NumberMatcher(const std::vector<std::string>& numbers, bool ignoreCase)
    : m_ignoreCase(ignoreCase) {
    std::size_t total = 0;
    for (const std::string& number : numbers) {
        total += number.size();
    }
    m_bytes.reserve(total);
    m_starts.reserve(numbers.size());
    m_lengths.reserve(numbers.size());
    std::vector<std::uint32_t> longNumbers;
    std::vector<std::uint32_t> shortNumbers;
    std::size_t shortestLong = SIZE_MAX;
    std::size_t shortestShort = SIZE_MAX;
    for (std::size_t i = 0; i < numbers.size(); ++i) {
        const std::string& number = numbers[i];
        m_starts.push_back(m_bytes.size());
        m_lengths.push_back(number.size());
        m_bytes += number;
        const auto index = static_cast<std::uint32_t>(i);
        if (number.size() >= LongNumber) {
            longNumbers.push_back(index);
            shortestLong = std::min(shortestLong, number.size());
        } else if (!number.empty()) {
            shortNumbers.push_back(index);
            shortestShort = std::min(shortestShort, number.size());
        }
    }
    const std::size_t gramBudget = std::max(MinGramBudget, total / GramBudgetShare);
    if (!longNumbers.empty()) {
        AddGroup(longNumbers, LongGramSize(longNumbers.size(), shortestLong), gramBudget);
    }
    if (!shortNumbers.empty()) {
        AddGroup(shortNumbers, (shortestShort + 1) / 2, gramBudget);
    }
}

void NumberMatcher::AddGroup(const std::vector<std::uint32_t>& members, std::size_t gramSize,
                             std::size_t gramBudget) {
    if (members.empty()) {
        return;
    }
    Group group;
    group.gramSize = gramSize;
    group.mask = gramSize >= 8 ? ~0ULL : (1ULL << (8 * gramSize)) - 1;
    std::size_t shortest = m_lengths[members.front()];
    for (const std::uint32_t i : members) {
        shortest = std::min(shortest, m_lengths[i]);
    }
    group.step = std::clamp<std::size_t>(gramBudget / members.size(), 1,
                                         std::min(shortest - gramSize + 1, MaxStep));

    std::vector<std::pair<std::uint64_t, Entry>> grams;
    grams.reserve(members.size() * group.step);
    for (const std::uint32_t i : members) {
        const char* number = m_bytes.data() + m_starts[i];
        const char* numberEnd = number + m_lengths[i];
        for (std::size_t offset = 0; offset < group.step; ++offset) {
            const std::uint64_t gram = Gram(number + offset, numberEnd, ~0ULL);
            grams.push_back({(m_ignoreCase ? CaseBits(gram) : gram) & group.mask,
                             {i, static_cast<std::uint32_t>(offset)}});
        }
    }
    std::sort(grams.begin(), grams.end(), [](const auto& a, const auto& b) {
        return a.first != b.first ? a.first < b.first : a.second.number < b.second.number;
    });
    std::size_t distinct = 0;
    for (std::size_t k = 0; k < grams.size(); ++k) {
        distinct += k == 0 || grams[k].first != grams[k - 1].first ? 1U : 0U;
    }

    const std::size_t bitCount = std::bit_ceil(std::max(MinBits, distinct * BitsPerGram));
    group.bits.assign(bitCount / 64, 0);
    group.bitShift = 64 - Log2(bitCount);
    const std::size_t slotCount = std::bit_ceil(std::max<std::size_t>(16, distinct + distinct / 2));
    group.slots.resize(slotCount);
    group.slotShift = 64 - Log2(slotCount);
    group.entries.reserve(grams.size());
    for (std::size_t k = 0; k < grams.size();) {
        const std::uint64_t gram = grams[k].first;
        Slot slot;
        slot.gram = gram;
        slot.first = static_cast<std::uint32_t>(group.entries.size());
        for (; k < grams.size() && grams[k].first == gram; ++k) {
            group.entries.push_back(grams[k].second);
        }
        slot.count = static_cast<std::uint32_t>(group.entries.size()) - slot.first;
        const std::uint64_t hash = Hash(gram);
        const std::uint64_t bit = hash >> group.bitShift;
        group.bits[bit >> 6] |= 1ULL << (bit & 63);
        std::size_t s = hash >> group.slotShift;
        while (group.slots[s].count != 0) {
            s = (s + 1) & (slotCount - 1);
        }
        group.slots[s] = slot;
    }
    m_groups.push_back(std::move(group));
}

std::size_t NumberMatcher::MemoryBytes() const {
    std::size_t bytes =
        m_bytes.capacity() + (m_starts.capacity() + m_lengths.capacity()) * sizeof(std::size_t);
    for (const Group& group : m_groups) {
        bytes += group.bits.capacity() * sizeof(std::uint64_t) +
                 group.slots.capacity() * sizeof(Slot) + group.entries.capacity() * sizeof(Entry);
    }
    return bytes;
}

}  // namespace cj::search::detail
