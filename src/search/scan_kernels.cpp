#include "search/scan_kernels.h"

#include <atomic>
#include <cstring>
#include <stdexcept>
#include <string>

#if defined(__GNUC__) && defined(__x86_64__)
#define CJ_SCAN_X86 1
#include <immintrin.h>
#endif

namespace cj::search::detail {
namespace {

bool IsLineEnd(char c) {
    return c == '\n' || c == '\x1A';
}

ByteSurvey SurveyScalar(const char* data, std::size_t size, ByteSurvey survey = {}) {
    for (std::size_t i = 0; i < size; ++i) {
        survey.lineEnds += IsLineEnd(data[i]) ? 1U : 0U;
        survey.hasNul = survey.hasNul || data[i] == '\0';
        survey.hasSub = survey.hasSub || data[i] == '\x1A';
    }
    return survey;
}

const char* FindScalar(const char* haystack, std::size_t size, const char* needle,
                       std::size_t needleSize) {
    if (size < needleSize) {
        return nullptr;
    }
    const std::size_t last = size - needleSize;
    for (std::size_t i = 0; i <= last; ++i) {
        if (haystack[i] == needle[0] && std::memcmp(haystack + i, needle, needleSize) == 0) {
            return haystack + i;
        }
    }
    return nullptr;
}

char AsciiLower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c + ('a' - 'A')) : c;
}

bool IsAsciiLetter(char c) {
    const char lower = AsciiLower(c);
    return lower >= 'a' && lower <= 'z';
}

bool EqualsFolded(const char* a, const char* b, std::size_t size) {
    for (std::size_t i = 0; i < size; ++i) {
        if (AsciiLower(a[i]) != AsciiLower(b[i])) {
            return false;
        }
    }
    return true;
}

bool IsWideLead(char c, std::string_view leads) {
    return leads.find(c) != std::string_view::npos;
}

const char* FindFoldedScalar(const char* haystack, std::size_t size, const char* needle,
                             std::size_t needleSize, std::string_view leads) {
    if (size < needleSize) {
        return nullptr;
    }
    const std::size_t last = size - needleSize;
    for (std::size_t i = 0; i < size; ++i) {
        if (IsWideLead(haystack[i], leads) ||
            (i <= last && EqualsFolded(haystack + i, needle, needleSize))) {
            return haystack + i;
        }
    }
    return nullptr;
}

#ifdef CJ_SCAN_X86

// The byte a lane is compared with, and what is ORed into the lane first: a
// letter matches in either case when 0x20 is set in both. Other bytes that
// then compare equal are only candidates, checked by EqualsFolded.
struct FoldedByte {
    char value;
    char caseBit;
};

FoldedByte FoldedByteOf(char c) {
    return IsAsciiLetter(c) ? FoldedByte{AsciiLower(c), 0x20} : FoldedByte{c, 0};
}

// Line ends are counted in byte lanes (each lane can count to 255) and folded
// into the total with a sum of absolute differences every 255 steps.
__attribute__((target("avx2"))) ByteSurvey SurveyAvx2(const char* data, std::size_t size) {
    const __m256i lf = _mm256_set1_epi8('\n');
    const __m256i sub = _mm256_set1_epi8('\x1A');
    const __m256i zero = _mm256_setzero_si256();
    __m256i lanes = zero;
    __m256i nuls = zero;
    __m256i subs = zero;
    __m256i sums = zero;
    std::size_t i = 0;
    int steps = 0;
    for (; i + 32 <= size; i += 32) {
        const __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(data + i));
        const __m256i isSub = _mm256_cmpeq_epi8(v, sub);
        lanes = _mm256_sub_epi8(lanes, _mm256_or_si256(_mm256_cmpeq_epi8(v, lf), isSub));
        subs = _mm256_or_si256(subs, isSub);
        nuls = _mm256_or_si256(nuls, _mm256_cmpeq_epi8(v, zero));
        if (++steps == 255) {
            sums = _mm256_add_epi64(sums, _mm256_sad_epu8(lanes, zero));
            lanes = zero;
            steps = 0;
        }
    }
    sums = _mm256_add_epi64(sums, _mm256_sad_epu8(lanes, zero));
    alignas(32) std::uint64_t parts[4];
    _mm256_store_si256(reinterpret_cast<__m256i*>(parts), sums);
    ByteSurvey survey;
    survey.lineEnds = parts[0] + parts[1] + parts[2] + parts[3];
    survey.hasNul = _mm256_movemask_epi8(nuls) != 0;
    survey.hasSub = _mm256_movemask_epi8(subs) != 0;
    return SurveyScalar(data + i, size - i, survey);
}

__attribute__((target("sse2"))) ByteSurvey SurveySse2(const char* data, std::size_t size) {
    const __m128i lf = _mm_set1_epi8('\n');
    const __m128i sub = _mm_set1_epi8('\x1A');
    const __m128i zero = _mm_setzero_si128();
    __m128i lanes = zero;
    __m128i nuls = zero;
    __m128i subs = zero;
    __m128i sums = zero;
    std::size_t i = 0;
    int steps = 0;
    for (; i + 16 <= size; i += 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + i));
        const __m128i isSub = _mm_cmpeq_epi8(v, sub);
        lanes = _mm_sub_epi8(lanes, _mm_or_si128(_mm_cmpeq_epi8(v, lf), isSub));
        subs = _mm_or_si128(subs, isSub);
        nuls = _mm_or_si128(nuls, _mm_cmpeq_epi8(v, zero));
        if (++steps == 255) {
            sums = _mm_add_epi64(sums, _mm_sad_epu8(lanes, zero));
            lanes = zero;
            steps = 0;
        }
    }
    sums = _mm_add_epi64(sums, _mm_sad_epu8(lanes, zero));
    alignas(16) std::uint64_t parts[2];
    _mm_store_si128(reinterpret_cast<__m128i*>(parts), sums);
    ByteSurvey survey;
    survey.lineEnds = parts[0] + parts[1];
    survey.hasNul = _mm_movemask_epi8(nuls) != 0;
    survey.hasSub = _mm_movemask_epi8(subs) != 0;
    return SurveyScalar(data + i, size - i, survey);
}

// Candidates are the positions where the needle's first and last bytes both
// match, 32 (or 16) at a time; only those are compared whole. This keeps a
// two-byte needle such as "SF" as fast as a long one.
__attribute__((target("avx2,bmi"))) const char* FindAvx2(const char* haystack, std::size_t size,
                                                         const char* needle,
                                                         std::size_t needleSize) {
    if (size < needleSize) {
        return nullptr;
    }
    const std::size_t last = size - needleSize;  // Candidate starts run 0..last.
    const __m256i first = _mm256_set1_epi8(needle[0]);
    const __m256i final = _mm256_set1_epi8(needle[needleSize - 1]);
    std::size_t i = 0;
    for (; i + 31 <= last; i += 32) {
        const __m256i a = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(haystack + i));
        const __m256i b =
            _mm256_loadu_si256(reinterpret_cast<const __m256i*>(haystack + i + needleSize - 1));
        auto mask = static_cast<unsigned>(_mm256_movemask_epi8(
            _mm256_and_si256(_mm256_cmpeq_epi8(a, first), _mm256_cmpeq_epi8(b, final))));
        while (mask != 0) {
            const unsigned bit = _tzcnt_u32(mask);
            if (std::memcmp(haystack + i + bit + 1, needle + 1, needleSize - 2) == 0) {
                return haystack + i + bit;
            }
            mask &= mask - 1;
        }
    }
    const char* rest = FindScalar(haystack + i, size - i, needle, needleSize);
    return rest;
}

__attribute__((target("sse2"))) const char* FindSse2(const char* haystack, std::size_t size,
                                                     const char* needle, std::size_t needleSize) {
    if (size < needleSize) {
        return nullptr;
    }
    const std::size_t last = size - needleSize;
    const __m128i first = _mm_set1_epi8(needle[0]);
    const __m128i final = _mm_set1_epi8(needle[needleSize - 1]);
    std::size_t i = 0;
    for (; i + 15 <= last; i += 16) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(haystack + i));
        const __m128i b =
            _mm_loadu_si128(reinterpret_cast<const __m128i*>(haystack + i + needleSize - 1));
        auto mask = static_cast<unsigned>(
            _mm_movemask_epi8(_mm_and_si128(_mm_cmpeq_epi8(a, first), _mm_cmpeq_epi8(b, final))));
        while (mask != 0) {
            const auto bit = static_cast<unsigned>(__builtin_ctz(mask));
            if (std::memcmp(haystack + i + bit + 1, needle + 1, needleSize - 2) == 0) {
                return haystack + i + bit;
            }
            mask &= mask - 1;
        }
    }
    return FindScalar(haystack + i, size - i, needle, needleSize);
}

// As FindAvx2, with both cases of the first and last bytes, and any lead
// byte of a full-width form as a candidate of its own.
__attribute__((target("avx2,bmi"))) const char* FindFoldedAvx2(const char* haystack,
                                                               std::size_t size, const char* needle,
                                                               std::size_t needleSize,
                                                               std::string_view leads) {
    if (size < needleSize) {
        return nullptr;
    }
    const std::size_t last = size - needleSize;
    const FoldedByte head = FoldedByteOf(needle[0]);
    const FoldedByte tail = FoldedByteOf(needle[needleSize - 1]);
    const __m256i first = _mm256_set1_epi8(head.value);
    const __m256i firstCase = _mm256_set1_epi8(head.caseBit);
    const __m256i final = _mm256_set1_epi8(tail.value);
    const __m256i finalCase = _mm256_set1_epi8(tail.caseBit);
    const char lead0 = leads.empty() ? '\0' : leads.front();
    const __m256i leadA = _mm256_set1_epi8(lead0);
    const __m256i leadB = _mm256_set1_epi8(leads.empty() ? lead0 : leads.back());
    const __m256i leadOn = _mm256_set1_epi8(leads.empty() ? 0 : -1);
    std::size_t i = 0;
    for (; i + 31 <= last; i += 32) {
        const __m256i a = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(haystack + i));
        const __m256i b =
            _mm256_loadu_si256(reinterpret_cast<const __m256i*>(haystack + i + needleSize - 1));
        const __m256i ends =
            _mm256_and_si256(_mm256_cmpeq_epi8(_mm256_or_si256(a, firstCase), first),
                             _mm256_cmpeq_epi8(_mm256_or_si256(b, finalCase), final));
        const __m256i wide = _mm256_and_si256(
            leadOn, _mm256_or_si256(_mm256_cmpeq_epi8(a, leadA), _mm256_cmpeq_epi8(a, leadB)));
        auto mask = static_cast<unsigned>(_mm256_movemask_epi8(_mm256_or_si256(ends, wide)));
        while (mask != 0) {
            const char* at = haystack + i + _tzcnt_u32(mask);
            if (IsWideLead(*at, leads) || EqualsFolded(at, needle, needleSize)) {
                return at;
            }
            mask &= mask - 1;
        }
    }
    return FindFoldedScalar(haystack + i, size - i, needle, needleSize, leads);
}

__attribute__((target("sse2"))) const char* FindFoldedSse2(const char* haystack, std::size_t size,
                                                           const char* needle,
                                                           std::size_t needleSize,
                                                           std::string_view leads) {
    if (size < needleSize) {
        return nullptr;
    }
    const std::size_t last = size - needleSize;
    const FoldedByte head = FoldedByteOf(needle[0]);
    const FoldedByte tail = FoldedByteOf(needle[needleSize - 1]);
    const __m128i first = _mm_set1_epi8(head.value);
    const __m128i firstCase = _mm_set1_epi8(head.caseBit);
    const __m128i final = _mm_set1_epi8(tail.value);
    const __m128i finalCase = _mm_set1_epi8(tail.caseBit);
    const char lead0 = leads.empty() ? '\0' : leads.front();
    const __m128i leadA = _mm_set1_epi8(lead0);
    const __m128i leadB = _mm_set1_epi8(leads.empty() ? lead0 : leads.back());
    const __m128i leadOn = _mm_set1_epi8(leads.empty() ? 0 : -1);
    std::size_t i = 0;
    for (; i + 15 <= last; i += 16) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(haystack + i));
        const __m128i b =
            _mm_loadu_si128(reinterpret_cast<const __m128i*>(haystack + i + needleSize - 1));
        const __m128i ends = _mm_and_si128(_mm_cmpeq_epi8(_mm_or_si128(a, firstCase), first),
                                           _mm_cmpeq_epi8(_mm_or_si128(b, finalCase), final));
        const __m128i wide =
            _mm_and_si128(leadOn, _mm_or_si128(_mm_cmpeq_epi8(a, leadA), _mm_cmpeq_epi8(a, leadB)));
        auto mask = static_cast<unsigned>(_mm_movemask_epi8(_mm_or_si128(ends, wide)));
        while (mask != 0) {
            const char* at = haystack + i + static_cast<unsigned>(__builtin_ctz(mask));
            if (IsWideLead(*at, leads) || EqualsFolded(at, needle, needleSize)) {
                return at;
            }
            mask &= mask - 1;
        }
    }
    return FindFoldedScalar(haystack + i, size - i, needle, needleSize, leads);
}

bool HasAvx2() {
    // The kernel is chosen while the program's static objects are built,
    // possibly before the compiler's run-time library has probed the processor.
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2") && __builtin_cpu_supports("bmi");
}

#endif  // CJ_SCAN_X86

}  // namespace

// One kernel set. The tables are constant data, so a scan that loads the
// active pointer reads a complete table without any further ordering.
struct KernelTable {
    Kernel kernel;
    ByteSurvey (*survey)(const char* data, std::size_t size);
    const char* (*find)(const char* haystack, std::size_t size, const char* needle,
                        std::size_t needleSize);
    const char* (*findFolded)(const char* haystack, std::size_t size, const char* needle,
                              std::size_t needleSize, std::string_view leads);
};

namespace {

ByteSurvey SurveyPortable(const char* data, std::size_t size) {
    return SurveyScalar(data, size);
}

constexpr KernelTable PortableTable{Kernel::Portable, SurveyPortable, FindScalar, FindFoldedScalar};
#ifdef CJ_SCAN_X86
constexpr KernelTable Sse2Table{Kernel::Sse2, SurveySse2, FindSse2, FindFoldedSse2};
constexpr KernelTable Avx2Table{Kernel::Avx2, SurveyAvx2, FindAvx2, FindFoldedAvx2};
#endif

const KernelTable* TableFor(Kernel kernel) {
    switch (kernel) {
        case Kernel::Portable:
            return &PortableTable;
#ifdef CJ_SCAN_X86
        case Kernel::Sse2:
            return &Sse2Table;  // Every x86-64 processor has SSE2.
        case Kernel::Avx2:
            return HasAvx2() ? &Avx2Table : nullptr;
#else
        case Kernel::Sse2:
        case Kernel::Avx2:
            return nullptr;
#endif
    }
    return nullptr;
}

const KernelTable* FastestTable() {
#ifdef CJ_SCAN_X86
    return HasAvx2() ? &Avx2Table : &Sse2Table;
#else
    return &PortableTable;
#endif
}

// The portable kernel until the program's static objects are built, then the
// fastest one; only ScopedKernel changes it after that. A scan made from
// another static object's constructor is therefore right, if slow. Relaxed
// loads cost the hot path nothing over a plain pointer.
constinit std::atomic<const KernelTable*> g_active{&PortableTable};

const bool g_chosen = [] {
    g_active.store(FastestTable());
    return true;
}();

}  // namespace

ByteSurvey SurveyBytes(const char* data, std::size_t size) {
    return g_active.load(std::memory_order_relaxed)->survey(data, size);
}

const char* FindBytes(const char* haystack, std::size_t size, const char* needle,
                      std::size_t needleSize) {
    if (needleSize == 1) {
        return static_cast<const char*>(std::memchr(haystack, needle[0], size));
    }
    return g_active.load(std::memory_order_relaxed)->find(haystack, size, needle, needleSize);
}

const char* FindFoldedOrLead(const char* haystack, std::size_t size, const char* needle,
                             std::size_t needleSize, std::string_view wideLeads) {
    return g_active.load(std::memory_order_relaxed)
        ->findFolded(haystack, size, needle, needleSize, wideLeads);
}

std::string_view KernelName(Kernel kernel) {
    switch (kernel) {
        case Kernel::Portable:
            return "Portable";
        case Kernel::Sse2:
            return "Sse2";
        case Kernel::Avx2:
            return "Avx2";
    }
    return "Unknown";
}

std::vector<Kernel> AvailableKernels() {
    std::vector<Kernel> kernels;
    for (const Kernel kernel : {Kernel::Portable, Kernel::Sse2, Kernel::Avx2}) {
        if (TableFor(kernel) != nullptr) {
            kernels.push_back(kernel);
        }
    }
    return kernels;
}

Kernel ActiveKernel() {
    return g_active.load(std::memory_order_relaxed)->kernel;
}

ScopedKernel::ScopedKernel(Kernel kernel) : m_previous(g_active.load()) {
    const KernelTable* table = TableFor(kernel);
    if (table == nullptr) {
        throw std::invalid_argument("this processor cannot run the scan kernel " +
                                    std::string(KernelName(kernel)));
    }
    g_active.store(table);
}

ScopedKernel::~ScopedKernel() {
    g_active.store(m_previous);
}

}  // namespace cj::search::detail
