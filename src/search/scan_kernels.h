// Byte-level kernels of the shard scan, vectorised where the processor allows
// (AVX2 or SSE2, chosen once at run time) with a portable fallback. Internal
// to the search library.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace cj::search::detail {

// What one pass over a stretch of shard bytes found.
struct ByteSurvey {
    std::uint64_t lineEnds = 0;  // LF and 0x1A bytes.
    bool hasNul = false;
    bool hasSub = false;  // A 0x1A byte: lines may end other than at LF.
};

ByteSurvey SurveyBytes(const char* data, std::size_t size);

// The first occurrence of needle (size >= 1) in haystack, or null. Same answer
// as memmem; fast for two-byte needles too.
const char* FindBytes(const char* haystack, std::size_t size, const char* needle,
                      std::size_t needleSize);

// The first position where needle (size >= 1) occurs when ASCII letters are
// compared without case, byte for byte, or where a byte of wideLeads (none to
// two bytes) stands; null when neither is found. The lead bytes are those of
// the full-width forms, whose matches a byte-wise comparison cannot see: the
// caller tests the record around such a byte by the whole folding rule.
// There is no match at all when size < needleSize (a full-width form is
// longer than its twin), and then null whatever leads there are.
const char* FindFoldedOrLead(const char* haystack, std::size_t size, const char* needle,
                             std::size_t needleSize, std::string_view wideLeads);

struct KernelTable;

// The kernel sets. Every one gives the same answers; only the speed differs.
enum class Kernel {
    Portable,  // Plain C++, the only one on processors other than x86-64.
    Sse2,
    Avx2,  // With BMI.
};

std::string_view KernelName(Kernel kernel);

// The kernels this processor can run, the portable one first and the one
// SurveyBytes and FindBytes choose by themselves last.
std::vector<Kernel> AvailableKernels();

// The kernel SurveyBytes and FindBytes use now.
Kernel ActiveKernel();

// Makes SurveyBytes and FindBytes use the given kernel for its lifetime, so
// that tests can run every kernel the processor has, not only the fastest.
// The choice is program-wide: create it only while no scan runs on another
// thread. Scopes nest; each one restores what it found. A kernel this
// processor cannot run (not in AvailableKernels) throws std::invalid_argument.
class ScopedKernel {
  public:
    explicit ScopedKernel(Kernel kernel);
    ~ScopedKernel();
    ScopedKernel(const ScopedKernel&) = delete;
    ScopedKernel& operator=(const ScopedKernel&) = delete;

  private:
    const KernelTable* m_previous;
};

}  // namespace cj::search::detail
