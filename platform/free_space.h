// The free space a copy into a folder can use.
#pragma once

#include <cstdint>
#include <string>
#include <system_error>

namespace cj::platform {

// Bytes available to the caller (not to the superuser's reserve) on the file
// system that holds path. When path does not exist (yet), its nearest existing
// ancestor is asked; an empty path, or a relative one with no existing
// ancestor, asks the current folder. Any thread.
std::error_code FreeBytes(const std::string& path, std::uint64_t& bytes);

}  // namespace cj::platform
