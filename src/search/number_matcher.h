// Finds every occurrence of many numbers (byte strings) in a text in one pass:
// the multi-pattern matcher of the batch search. Internal to the search
// library.
//
// The method is q-gram sampling. The numbers are split by length into a few
// groups; a group with gram size q and shortest number m looks at the text
// only every step = m - q + 1 bytes. Whatever number of the group occurs at t
// covers exactly one sampled position p in [t, t + step), and the q bytes at
// p are the number's bytes at offset p - t < step. So the group keeps, for
// every number and every offset below step, the q-gram there; a sampled gram
// that is none of them (a bitmap of their hashes tells at once, in most
// cases) rules out every occurrence around it. Where the bitmap says maybe,
// the grams' table gives the numbers and offsets to compare byte for byte.
//
// Waybill numbers (10 bytes and more) make one group with grams of 5 to 8
// bytes, the fewer the numbers the shorter (1,000 numbers of 11 bytes and
// more: 5 bytes, sampled every 7 bytes or more); the bitmap holds 32 to
// 64 bits per gram, so that about one sample in 32 on unrelated text goes on
// to the table. Shorter numbers make a second group, sampled more densely.
//
// Memory: per number at most `step` grams (step <= its length, and at most 16
// whatever its length). A gram takes 8 bytes in the entry list, up to 48 in
// the table (16-byte slots, at most 3 per gram) and up to 8 in the bitmap, and
// 16 bytes more while the matcher is built. A group keeps at most one gram per
// 4 bytes of numbers once it would pass 2^20 grams (it then samples more
// densely), so the grams take at most 64 MiB or 16 bytes per byte of numbers,
// 20 while they are built; the numbers' bytes and 16 bytes per number come on
// top (100,000 numbers of 15 bytes take about 30 MiB).
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace cj::search::detail {

class NumberMatcher {
  public:
    // numbers: none of them empty (an empty one is ignored). With
    // ignoreCase, ASCII letters of the text and the numbers compare in either
    // case, byte by byte (the caller checks characters). Any thread; FindAll
    // may then run on many threads at once.
    explicit NumberMatcher(const std::vector<std::string>& numbers, bool ignoreCase = false);

    // Calls found(start, index) once for every occurrence of numbers[index]
    // that lies wholly in [begin, end), start pointing at its first byte.
    // Occurrences come roughly, not strictly, in text order. found returns
    // nothing.
    template <class Found>
    void FindAll(const char* begin, const char* end, Found&& found) const {
        for (const Group& group : m_groups) {
            if (m_ignoreCase) {
                group.FindAll<true>(*this, begin, end, found);
            } else {
                group.FindAll<false>(*this, begin, end, found);
            }
        }
    }

    // The bytes the matcher holds, for the memory bound.
    std::size_t MemoryBytes() const;

  private:
    struct Entry {
        std::uint32_t number;  // Index into m_starts and m_lengths.
        std::uint32_t offset;  // Of the gram in the number: below step.
    };
    struct Slot {
        std::uint64_t gram = 0;
        std::uint32_t first = 0;  // Into m_entries.
        std::uint32_t count = 0;  // 0: an empty slot.
    };

    static std::uint64_t Hash(std::uint64_t gram) { return gram * 0x9E3779B97F4A7C15ULL; }
    // Ignoring case, grams are compared with bit 0x20 set in every byte:
    // A-Z become a-z and digits stay, at one instruction a sample. Other
    // bytes that then look alike only pass on to the comparison, which
    // ignores the case of letters alone. (A true lower-casing of the eight
    // bytes made a batch of 1,000 numbers 38-55% slower in one measured run.)
    static std::uint64_t CaseBits(std::uint64_t gram) { return gram | 0x2020202020202020ULL; }
    template <bool IgnoreCase>
    static std::uint64_t Fold(std::uint64_t gram, std::uint64_t mask) {
        return (IgnoreCase ? CaseBits(gram) : gram) & mask;
    }
    template <bool IgnoreCase>
    static bool Equal(const char* text, const char* number, std::size_t length) {
        if (!IgnoreCase) {
            return std::memcmp(text, number, length) == 0;
        }
        for (std::size_t i = 0; i < length; ++i) {
            const auto a = static_cast<unsigned char>(text[i]);
            const auto b = static_cast<unsigned char>(number[i]);
            if ((a >= 'A' && a <= 'Z' ? a + 32 : a) != (b >= 'A' && b <= 'Z' ? b + 32 : b)) {
                return false;
            }
        }
        return true;
    }
    // The q bytes at p as a number, little end first; reads 8 bytes when
    // they lie before end.
    static std::uint64_t Gram(const char* p, const char* end, std::uint64_t mask) {
        std::uint64_t gram = 0;
        if (end - p >= 8) {
            std::memcpy(&gram, p, 8);
        } else {
            std::memcpy(&gram, p, static_cast<std::size_t>(end - p));
        }
        return gram & mask;
    }

    struct Group {
        std::size_t gramSize = 8;  // q: 1 to 8.
        std::size_t step = 1;
        std::uint64_t mask = ~0ULL;
        std::vector<std::uint64_t> bits;  // The bitmap of gram hashes.
        unsigned bitShift = 0;            // Hash >> bitShift: a bit index.
        std::vector<Slot> slots;          // Open addressing, a power of two.
        unsigned slotShift = 0;
        std::vector<Entry> entries;  // Grouped by gram.

        // The samples that pass the bitmap are gathered first and checked
        // afterwards, so that the sampling loop keeps everything in
        // registers (about twice as fast as checking each at once).
        template <bool IgnoreCase, class Found>
        void FindAll(const NumberMatcher& owner, const char* begin, const char* end,
                     Found& found) const {
            const auto size = static_cast<std::size_t>(end - begin);
            if (size < gramSize) {
                return;
            }
            const std::size_t samples = (size - gramSize) / step + 1;
            // Samples whose 8-byte load stays inside the text.
            const std::size_t wide = size < 8 ? 0 : std::min(samples, (size - 8) / step + 1);
            const std::uint64_t* const bitmap = bits.data();
            const unsigned shift = bitShift;
            const std::uint64_t gramMask = mask;
            const std::size_t stride = step;
            constexpr std::size_t Batch = 256;
            const char* passed[Batch];
            std::size_t i = 0;
            while (i < samples) {
                // At most Batch samples a round, so that passed cannot fill up
                // and the loop tests one bound only.
                std::size_t count = 0;
                const char* p = begin + i * stride;
                for (const std::size_t stop = std::min(wide, i + Batch); i < stop;
                     ++i, p += stride) {
                    std::uint64_t gram;
                    std::memcpy(&gram, p, 8);
                    gram = Fold<IgnoreCase>(gram, gramMask);
                    const std::uint64_t bit = Hash(gram) >> shift;
                    passed[count] = p;
                    count += (bitmap[bit >> 6] >> (bit & 63)) & 1U;
                }
                if (i >= wide) {
                    for (const std::size_t stop = std::min(samples, i + Batch - count); i < stop;
                         ++i, p += stride) {
                        const std::uint64_t bit =
                            Hash(Fold<IgnoreCase>(Gram(p, end, ~0ULL), gramMask)) >> shift;
                        passed[count] = p;
                        count += (bitmap[bit >> 6] >> (bit & 63)) & 1U;
                    }
                }
                for (std::size_t k = 0; k < count; ++k) {
                    Verify<IgnoreCase>(owner,
                                       Fold<IgnoreCase>(Gram(passed[k], end, ~0ULL), gramMask),
                                       passed[k], begin, end, found);
                }
            }
        }

        template <bool IgnoreCase, class Found>
        void Verify(const NumberMatcher& owner, std::uint64_t gram, const char* p,
                    const char* begin, const char* end, Found& found) const {
            const std::size_t slotMask = slots.size() - 1;
            for (std::size_t s = Hash(gram) >> slotShift;; s = (s + 1) & slotMask) {
                const Slot& slot = slots[s];
                if (slot.count == 0) {
                    return;
                }
                if (slot.gram != gram) {
                    continue;
                }
                for (std::uint32_t e = slot.first; e < slot.first + slot.count; ++e) {
                    const Entry entry = entries[e];
                    if (static_cast<std::size_t>(p - begin) < entry.offset) {
                        continue;
                    }
                    const char* start = p - entry.offset;
                    const std::size_t length = owner.m_lengths[entry.number];
                    if (static_cast<std::size_t>(end - start) >= length &&
                        Equal<IgnoreCase>(
                            start, owner.m_bytes.data() + owner.m_starts[entry.number], length)) {
                        found(start, static_cast<std::size_t>(entry.number));
                    }
                }
                return;
            }
        }
    };

    void AddGroup(const std::vector<std::uint32_t>& members, std::size_t gramSize,
                  std::size_t gramBudget);

    std::string m_bytes;                 // Every number, one after the other.
    std::vector<std::size_t> m_starts;   // Of number i in m_bytes.
    std::vector<std::size_t> m_lengths;  // Of number i.
    std::vector<Group> m_groups;
    bool m_ignoreCase = false;
};

}  // namespace cj::search::detail
