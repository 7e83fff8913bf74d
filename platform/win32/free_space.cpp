#include "platform/free_space.h"

#include <windows.h>

#include "platform/win32/path_text.h"
#include "platform/win32/win32_error.h"

namespace cj::platform {

std::error_code FreeBytes(const std::string& path, std::uint64_t& bytes) {
    bytes = 0;
    std::string probe = path;
    for (;;) {
        // The folder is asked with its separator: a share's root needs it,
        // "D:" then means the drive's root rather than its current folder
        // (the same volume), and "" becomes ".\", the current folder.
        std::string folder = probe.empty() ? std::string(".") : probe;
        if (!win32::EndsWithSeparator(folder)) {
            folder += '\\';
        }
        ULARGE_INTEGER available{};
        // The first figure leaves out what quotas keep from this user: what a
        // copy made by this user can fill.
        if (GetDiskFreeSpaceExA(folder.c_str(), &available, nullptr, nullptr)) {
            bytes = available.QuadPart;
            return {};
        }
        const DWORD error = GetLastError();
        // A folder the user is about to have created does not exist yet: its
        // nearest existing ancestor is on the volume it will be on. A file is
        // on its folder's volume (asked as a folder it is ERROR_DIRECTORY, or
        // ERROR_INVALID_NAME on Wine). Other failures (no permission to look,
        // a drive that is not there) are the answer.
        const bool lookHigher = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ||
                                error == ERROR_DIRECTORY || error == ERROR_INVALID_NAME;
        const std::string_view parent = win32::ParentText(probe);
        if (!lookHigher || probe.empty() || parent.size() == probe.size()) {
            return win32::FromWin32(error);
        }
        probe.assign(parent);
    }
}

}  // namespace cj::platform
