#include "platform/dir_enum.h"

#include <windows.h>

#include <cctype>

#include "platform/code_page.h"
#include "platform/common/dir_listing.h"
#include "platform/win32/file_handle.h"
#include "platform/win32/win32_error.h"

namespace cj::platform {
namespace {

class FindGuard {
  public:
    explicit FindGuard(HANDLE find) : m_find(find) {}
    ~FindGuard() {
        if (m_find != INVALID_HANDLE_VALUE) {
            FindClose(m_find);
        }
    }
    FindGuard(const FindGuard&) = delete;
    FindGuard& operator=(const FindGuard&) = delete;

  private:
    HANDLE m_find;
};

bool IsDotOrDotDot(const char* name) {
    return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

// "C:" alone is, to the system, the current folder of drive C; a folder list
// that names a drive means its root.
bool IsBareDrive(const std::string& path) {
    return path.size() == 2 && path[1] == ':' &&
           std::isalpha(static_cast<unsigned char>(path[0])) != 0;
}

// Whether path ends in a separator. The last byte of a GBK path may be the
// second half of a character such as 乗 (0x81 0x5C), which is no separator.
bool EndsWithSeparator(const std::string& path) {
    if (path.empty()) {
        return false;
    }
    const char last = path.back();
    if (last == '/') {
        return true;  // Below every trail byte.
    }
    return last == '\\' && IsCharBoundary(path, path.size() - 1, ActiveCodePage());
}

// The folder, and the pattern that lists it: "C:" is "C:\" and "C:\*",
// "C:\photos" and "C:\photos\" both list "C:\photos\*".
void FolderAndPattern(const std::string& path, std::string& folder, std::string& pattern) {
    folder = IsBareDrive(path) ? path + '\\' : path;
    pattern = folder;
    if (!EndsWithSeparator(pattern)) {
        pattern += '\\';
    }
    pattern += '*';
}

// The folder's identity, opening it by its path: a junction or a symbolic link
// is followed (no FILE_FLAG_OPEN_REPARSE_POINT), so a link has the identity of
// the folder it leads to. Backup semantics is what lets CreateFile open a
// folder at all; asking only for its attributes opens it even where listing
// it is denied, which the listing itself then reports.
std::error_code OpenFolderIdentity(const std::string& folder, FolderIdentity& identity) {
    win32::FileHandle handle(CreateFileA(folder.c_str(), FILE_READ_ATTRIBUTES, win32::ShareAll,
                                         nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS,
                                         nullptr));
    if (handle.Get() == INVALID_HANDLE_VALUE) {
        return win32::LastError();
    }
    // A device (NUL, a COM port, a pipe) opens too; it is no folder, and it is
    // never read from here.
    if (GetFileType(handle.Get()) != FILE_TYPE_DISK) {
        return std::make_error_code(std::errc::not_a_directory);
    }
    BY_HANDLE_FILE_INFORMATION info{};
    if (!GetFileInformationByHandle(handle.Get(), &info)) {
        return win32::LastError();
    }
    if ((info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
        return std::make_error_code(std::errc::not_a_directory);
    }
    // The volume's serial number and the file index, which NTFS and FAT keep
    // unique on a volume. (ReFS needs 128 bits for that; its folders may then
    // compare equal by mistake and be walked once instead of twice.)
    identity.device = info.dwVolumeSerialNumber;
    identity.inode = (std::uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow;
    return {};
}

HANDLE FindFirst(const std::string& pattern, WIN32_FIND_DATAA& data) {
    // The basic information skips the 8.3 name, and the large fetch asks for
    // the entries in fewer, larger calls; both are Windows 7's. Vista refuses
    // them as a bad parameter and gets the plain call.
    HANDLE find = FindFirstFileExA(pattern.c_str(), FindExInfoBasic, &data, FindExSearchNameMatch,
                                   nullptr, FIND_FIRST_EX_LARGE_FETCH);
    if (find == INVALID_HANDLE_VALUE && GetLastError() == ERROR_INVALID_PARAMETER) {
        find = FindFirstFileExA(pattern.c_str(), FindExInfoStandard, &data, FindExSearchNameMatch,
                                nullptr, 0);
    }
    return find;
}

}  // namespace

std::error_code ListDirectory(const std::string& path, DirListing& out) {
    out.entries.clear();
    out.names.clear();
    out.identity = {};
    if (path.empty()) {
        // The system would list the current drive's root for "\*".
        return std::make_error_code(std::errc::no_such_file_or_directory);
    }
    if (path.size() > MaxPathLength) {
        return std::make_error_code(std::errc::filename_too_long);
    }
    std::string folder;
    std::string pattern;
    FolderAndPattern(path, folder, pattern);
    if (const std::error_code ec = OpenFolderIdentity(folder, out.identity); ec) {
        return ec;
    }

    WIN32_FIND_DATAA data{};
    HANDLE find = FindFirst(pattern, data);
    if (find == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        // A drive's root has no "." entry, so an empty root finds nothing.
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_NO_MORE_FILES) {
            return {};
        }
        return win32::FromWin32(error);
    }
    FindGuard guard(find);
    for (;;) {
        if (!IsDotOrDotDot(data.cFileName)) {
            // The attributes come with the entry, so nothing is opened. A
            // junction or a symbolic link to a folder carries the folder
            // attribute and is listed as a folder, to be followed like one;
            // a link that leads back up the walk is stopped by its
            // FolderIdentity, which is that of the folder it leads to. A
            // dangling link to a folder still carries the attribute: listing
            // it then fails as a missing folder.
            AddEntry(out, data.cFileName, (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0);
        }
        if (!FindNextFileA(find, &data)) {
            const DWORD error = GetLastError();
            return error == ERROR_NO_MORE_FILES ? std::error_code() : win32::FromWin32(error);
        }
    }
}

}  // namespace cj::platform
