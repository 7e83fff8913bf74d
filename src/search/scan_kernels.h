// Byte-level kernels of the shard scan, vectorised where the processor allows
// (AVX2 or SSE2, chosen once at run time) with a portable fallback. Internal
// to the search library.
#pragma once

#include <cstddef>
#include <cstdint>

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

}  // namespace cj::search::detail
