// Win32 error codes as the std::error_code values the rest of the program
// compares against: the portable std::errc conditions where one fits, and the
// system's own code (with the system's message) otherwise.
#pragma once

#include <windows.h>

#include <system_error>

namespace cj::platform::win32 {

// The category of raw Win32 error codes: message() is the system's text.
const std::error_category& Win32Category();

// ERROR_FILE_NOT_FOUND and ERROR_PATH_NOT_FOUND become
// std::errc::no_such_file_or_directory, ERROR_ACCESS_DENIED
// std::errc::permission_denied, ERROR_FILE_EXISTS and ERROR_ALREADY_EXISTS
// std::errc::file_exists, the disk-full codes std::errc::no_space_on_device,
// and so on; a code with no portable meaning stays in Win32Category().
// 0 is success.
std::error_code FromWin32(DWORD error);

// FromWin32(GetLastError()).
std::error_code LastError();

}  // namespace cj::platform::win32
