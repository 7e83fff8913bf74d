// The temporaries of CopyFileExclusive, named the same on every system (see
// IsCopyTemporaryName). Internal to the platform library.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace cj::platform {

// A fresh temporary's name: different for every call in this process, and
// most likely from those of other processes (the caller creates it
// exclusively and asks again on a clash).
std::string CopyTemporaryName(std::uint64_t processId);

// A fresh temporary beside target: target's folder part and a fresh name.
std::string CopyTemporaryPath(std::string_view target, std::uint64_t processId);

}  // namespace cj::platform
