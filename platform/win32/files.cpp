#include "platform/files.h"

#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include "platform/win32/file_handle.h"
#include "platform/win32/file_rename.h"
#include "platform/win32/path_text.h"
#include "platform/win32/win32_error.h"

namespace cj::platform {
namespace {

using win32::FileHandle;
using win32::LastError;
using win32::ShareAll;

bool IsMissing(DWORD error) {
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

// The name of a symbolic link's or junction's target as the system reports
// it: "\\?\C:\..." or "\\?\UNC\server\share\..." become the plain forms the A
// functions and MAX_PATH expect.
std::string PlainFinalPath(std::string path) {
    if (path.starts_with("\\\\?\\UNC\\")) {
        return "\\" + path.substr(7);
    }
    if (path.starts_with("\\\\?\\")) {
        return path.substr(4);
    }
    return path;
}

// The reparse tag of the entry at path, or 0 when it is no reparse point or
// cannot be read.
DWORD ReparseTag(const std::string& path) {
    WIN32_FIND_DATAA data{};
    const HANDLE find = FindFirstFileA(path.c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) {
        return 0;
    }
    FindClose(find);
    return (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 ? data.dwReserved0 : 0;
}

// The file a write of path lands in: path itself, unless its last part is a
// symbolic link or junction, whose final target is then asked of the system
// (GetFinalPathNameByHandleA). Other reparse points (cloud and deduplicated
// files) are files in their own right and are replaced where they are. A link
// whose target does not exist gets that target created, as opening the link
// for writing would; created says so, and the caller removes it when its
// write fails. The system resolves the whole chain; a loop is
// std::errc::too_many_symbolic_link_levels.
std::error_code ResolveTarget(const std::string& path, bool create, std::string& out,
                              bool& created) {
    out = path;
    created = false;
    const DWORD tag = ReparseTag(path);
    if (tag != IO_REPARSE_TAG_SYMLINK && tag != IO_REPARSE_TAG_MOUNT_POINT) {
        return {};
    }
    FileHandle file(CreateFileA(path.c_str(), FILE_READ_ATTRIBUTES, ShareAll, nullptr,
                                OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!file) {
        const DWORD error = GetLastError();
        if (!IsMissing(error) || !create) {
            return win32::FromWin32(error);
        }
        file.Reset(CreateFileA(path.c_str(), GENERIC_WRITE, ShareAll, nullptr, OPEN_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file) {
            return win32::OpenError(path);
        }
        created = GetLastError() != ERROR_ALREADY_EXISTS;
    }
    std::vector<char> buffer(MAX_PATH + 1);
    for (;;) {
        const DWORD length =
            GetFinalPathNameByHandleA(file.Get(), buffer.data(), static_cast<DWORD>(buffer.size()),
                                      FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
        if (length == 0) {
            const std::error_code ec = LastError();
            file.Reset();
            if (created) {
                DeleteFileA(path.c_str());
                created = false;
            }
            return ec;
        }
        if (length < buffer.size()) {
            out = PlainFinalPath(std::string(buffer.data(), length));
            return {};
        }
        buffer.resize(length + 1);  // The length it needs, with the NUL.
    }
}

// Writes data to a new temporary file beside target and renames it over
// target. The caller has resolved links and checked that target may be
// replaced.
std::error_code WriteAndRenameOver(const std::string& target, std::string_view data) {
    // The attributes a user or another program gave the file stay with it;
    // the read-only one never gets here, and the others (compressed,
    // encrypted, sparse) are not set through CreateFileA.
    DWORD attributes = FILE_ATTRIBUTE_NORMAL;
    if (const DWORD old = GetFileAttributesA(target.c_str()); old != INVALID_FILE_ATTRIBUTES) {
        constexpr DWORD Kept = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                               FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
        if ((old & Kept) != 0) {
            attributes = old & Kept;
        }
    }
    // The temporary file sits in the target's folder so that the rename stays
    // on one volume and is atomic. CREATE_NEW never takes over a file that is
    // there, and fails when the folder is missing, which leaves the disk
    // untouched.
    std::string temp;
    FileHandle file;
    for (int attempt = 0; !file; ++attempt) {
        temp = win32::TemporaryNameBeside(target);
        file.Reset(CreateFileA(temp.c_str(), GENERIC_WRITE, ShareAll, nullptr, CREATE_NEW,
                               attributes, nullptr));
        const DWORD error = GetLastError();
        if (!file &&
            (attempt == 99 || (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS))) {
            return win32::FromWin32(error);
        }
    }

    std::error_code ec = win32::WriteAll(file.Get(), data);
    if (!ec && !FlushFileBuffers(file.Get())) {
        ec = LastError();
    }
    if (!ec && !CloseHandle(file.Release())) {
        ec = LastError();
    }
    if (!ec) {
        ec = win32::RenameOver(temp, target, win32::HeldTarget::Wait);
    }
    if (ec) {
        file.Reset();
        DeleteFileA(temp.c_str());
    }
    return ec;
}

}  // namespace

std::error_code ReadWholeFile(const std::string& path, std::string& out) {
    out.clear();
    FileHandle file(CreateFileA(path.c_str(), GENERIC_READ, ShareAll, nullptr, OPEN_EXISTING,
                                FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file) {
        return win32::OpenError(path);
    }
    if (const std::error_code ec = win32::CheckDiskFile(file.Get()); ec) {
        return ec;
    }
    LARGE_INTEGER size{};
    if (GetFileSizeEx(file.Get(), &size) && size.QuadPart > 0) {
        out.reserve(static_cast<std::size_t>(size.QuadPart));
    }
    // Read to the end rather than trusting the size: the file may grow or
    // shrink while we read.
    if (const std::error_code ec = win32::ReadToEnd(file.Get(), out); ec) {
        out.clear();
        return ec;
    }
    return {};
}

std::error_code WriteWholeFileAtomic(const std::string& path, std::string_view data) {
    std::string target;
    bool created = false;
    if (const std::error_code ec = ResolveTarget(path, true, target, created); ec) {
        return ec;
    }
    std::error_code ec = CheckReplaceable(target);
    if (!ec) {
        ec = WriteAndRenameOver(target, data);
    }
    if (ec && created) {
        DeleteFileA(target.c_str());  // The empty file made to resolve a dangling link.
    }
    return ec;
}

std::error_code RemoveAtomicWriteLeftovers(const std::string& path) {
    std::string target;
    bool created = false;
    // A dangling link has no target to resolve without creating it: its own
    // folder is looked at, where no write of it ever put a temporary file,
    // and nothing is removed.
    if (const std::error_code ec = ResolveTarget(path, false, target, created);
        ec && !(ec == std::errc::no_such_file_or_directory)) {
        return ec;
    }
    const std::size_t nameStart = win32::NameStart(target);
    const std::string folder = target.substr(0, nameStart);
    const std::string_view name = std::string_view(target).substr(nameStart);
    WIN32_FIND_DATAA data{};
    const HANDLE find = FindFirstFileA((folder + ".*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND ? std::error_code() : win32::FromWin32(error);
    }
    std::vector<std::string> leftovers;
    do {
        if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 &&
            AtomicWriteTarget(data.cFileName) == name) {
            leftovers.emplace_back(data.cFileName);
        }
    } while (FindNextFileA(find, &data));
    FindClose(find);
    std::error_code first;
    for (const std::string& leftover : leftovers) {
        if (const std::error_code ec = RemoveFile(folder + leftover);
            ec && ec != std::errc::no_such_file_or_directory && !first) {
            first = ec;
        }
    }
    return first;
}

std::error_code SyncedFileWriter::TryCreate(const std::string& path) {
    Close();
    // Never opened and truncated: whatever has the name is removed (a link
    // itself, not what it leads to) and a new file made in its place. Another
    // program may put something there again between the two; the create then
    // fails rather than open it, after a few rounds.
    FileHandle file;
    for (int attempt = 0; !file; ++attempt) {
        file.Reset(CreateFileA(path.c_str(), GENERIC_WRITE, ShareAll, nullptr, CREATE_NEW,
                               FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
        const DWORD error = GetLastError();
        if (!file &&
            (attempt == 3 || (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS))) {
            return win32::FromWin32(error);
        }
        if (!file && !DeleteFileA(path.c_str()) && !IsMissing(GetLastError())) {
            return win32::OpenError(path);
        }
    }
    m_handle = reinterpret_cast<std::intptr_t>(file.Release());
    m_size = 0;
    m_handedOn = 0;
    return {};
}

std::error_code SyncedFileWriter::TryAppend(std::string_view data) {
    if (!IsOpen()) {
        return std::make_error_code(std::errc::bad_file_descriptor);
    }
    if (const std::error_code ec = win32::WriteAll(reinterpret_cast<HANDLE>(m_handle), data); ec) {
        return ec;
    }
    m_size += data.size();
    return {};
}

void SyncedFileWriter::StartFlush() {
    if (IsOpen()) {
        HandOn(true);
    }
}

void SyncedFileWriter::HandOn(bool all) {
    // Windows has no call that starts writing a range to the disk without
    // waiting for it (Linux's sync_file_range): FlushFileBuffers waits, and
    // the cache manager's lazy writer already writes behind the appends.
    // Nothing to hand on, so the final flush does all the waiting.
    static_cast<void>(all);
}

std::error_code SyncedFileWriter::TrySyncAndClose() {
    if (!IsOpen()) {
        return std::make_error_code(std::errc::bad_file_descriptor);
    }
    const auto handle = reinterpret_cast<HANDLE>(std::exchange(m_handle, NoHandle));
    std::error_code ec;
    if (!FlushFileBuffers(handle)) {
        ec = LastError();
    }
    if (!CloseHandle(handle) && !ec) {
        ec = LastError();
    }
    return ec;
}

void SyncedFileWriter::Close() {
    if (IsOpen()) {
        CloseHandle(reinterpret_cast<HANDLE>(std::exchange(m_handle, NoHandle)));
    }
}

std::error_code RenameFile(const std::string& from, const std::string& to) {
    // MoveFileExA refuses a folder or a read-only file at to with
    // ERROR_ACCESS_DENIED, which would read as a file held open (and Wine
    // replaces a read-only file).
    if (const DWORD attributes = GetFileAttributesA(to.c_str());
        attributes != INVALID_FILE_ATTRIBUTES) {
        if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
            return std::make_error_code(std::errc::is_a_directory);
        }
        if ((attributes & FILE_ATTRIBUTE_READONLY) != 0) {
            return std::make_error_code(std::errc::permission_denied);
        }
    }
    return win32::RenameOver(from, to, win32::HeldTarget::MoveAside);
}

std::error_code SyncFolder(const std::string& path) {
    // A folder's entries reach the disk with the files' own flushes and the
    // renames' MOVEFILE_WRITE_THROUGH; there is no folder handle to flush.
    static_cast<void>(path);
    return {};
}

std::error_code CheckReplaceable(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) {
        const DWORD error = GetLastError();
        return IsMissing(error) ? std::error_code() : win32::FromWin32(error);
    }
    if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return std::make_error_code(std::errc::is_a_directory);
    }
    if ((data.dwFileAttributes & FILE_ATTRIBUTE_READONLY) != 0) {
        return std::make_error_code(std::errc::permission_denied);
    }
    // A rename over the file removes it, which needs delete access to it (or
    // to its folder's children). A file some program holds open without
    // sharing deletion is refused too, but only for as long as it is open:
    // that is the rename's to report.
    FileHandle file(CreateFileA(path.c_str(), DELETE, ShareAll, nullptr, OPEN_EXISTING,
                                FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!file && GetLastError() == ERROR_ACCESS_DENIED) {
        return std::make_error_code(std::errc::permission_denied);
    }
    return {};
}

std::error_code RegularFileSize(const std::string& path, std::uint64_t& size) {
    size = 0;
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) {
        return LastError();
    }
    if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return std::make_error_code(std::errc::invalid_argument);
    }
    const std::uint64_t listed =
        (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    if (listed > 0 && (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0) {
        size = listed;
        return {};
    }
    // The attributes are a link's own (size 0), and a device such as NUL
    // looks like an empty file: an open handle follows the link and tells a
    // file on a disk from a device. Only these cases pay for the open.
    FileHandle file(CreateFileA(path.c_str(), FILE_READ_ATTRIBUTES, ShareAll, nullptr,
                                OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!file) {
        return LastError();
    }
    BY_HANDLE_FILE_INFORMATION info{};
    if (GetFileType(file.Get()) != FILE_TYPE_DISK) {
        return std::make_error_code(std::errc::invalid_argument);
    }
    if (!GetFileInformationByHandle(file.Get(), &info)) {
        return LastError();
    }
    if ((info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return std::make_error_code(std::errc::invalid_argument);
    }
    size = (static_cast<std::uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
    return {};
}

PathProbe ProbePath(const std::string& path) {
    PathProbe probe;
    const auto fail = [&probe](std::error_code ec) {
        probe.error = ec;
        return probe;
    };
    if (path.empty()) {
        return fail(std::make_error_code(std::errc::no_such_file_or_directory));
    }
    // A directory search takes these as wildcards and would find other
    // entries; no name holds them. (None is a GBK trail byte.)
    const std::size_t prefix = path.starts_with("\\\\?\\") ? 4 : 0;
    if (path.find_first_of("*?<>\"", prefix) != std::string::npos) {
        return fail(std::make_error_code(std::errc::invalid_argument));
    }
    const std::size_t root = win32::RootLength(path);
    std::string_view name = path;
    bool trailing = false;
    while (name.size() > root && win32::EndsWithSeparator(name)) {
        name.remove_suffix(1);
        trailing = true;
    }
    if (name.size() <= root) {
        // A root is no entry of any folder, so no search finds it; its
        // attributes say whether the volume is there.
        const DWORD attributes = GetFileAttributesA(path.c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES) {
            return fail(LastError());
        }
        probe.exists = true;
        probe.isDirectory = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        return probe;
    }
    // The search finds the entry itself: a link is reported as the folder
    // lists it, not followed.
    WIN32_FIND_DATAA data{};
    const HANDLE find = FindFirstFileA(std::string(name).c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) {
        return fail(LastError());
    }
    FindClose(find);
    const bool isDirectory = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    if (trailing && !isDirectory) {
        return fail(std::make_error_code(std::errc::not_a_directory));
    }
    probe.exists = true;
    probe.isDirectory = isDirectory;
    if (!isDirectory) {
        probe.size = (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    }
    probe.modified = static_cast<std::int64_t>(
        (static_cast<std::uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) |
        data.ftLastWriteTime.dwLowDateTime);
    return probe;
}

std::error_code AppendToFile(const std::string& path, std::string_view data,
                             std::uint64_t& sizeAfter) {
    sizeAfter = 0;
    // FILE_APPEND_DATA alone makes every write land at the end, after any
    // other process's; the reparse-point flag opens a link itself, which is
    // then refused rather than written through.
    FileHandle file(CreateFileA(path.c_str(), FILE_APPEND_DATA | FILE_READ_ATTRIBUTES, ShareAll,
                                nullptr, OPEN_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!file) {
        return win32::OpenError(path);
    }
    BY_HANDLE_FILE_INFORMATION info{};
    if (!GetFileInformationByHandle(file.Get(), &info)) {
        return LastError();
    }
    if ((info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
        return std::make_error_code(std::errc::too_many_symbolic_link_levels);
    }
    if (GetFileType(file.Get()) != FILE_TYPE_DISK ||
        (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return std::make_error_code(std::errc::invalid_argument);
    }
    if (const std::error_code ec = win32::WriteAll(file.Get(), data); ec) {
        return ec;
    }
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.Get(), &size)) {
        return LastError();
    }
    sizeAfter = static_cast<std::uint64_t>(size.QuadPart);
    return {};
}

std::error_code RemoveFile(const std::string& path) {
    if (!DeleteFileA(path.c_str())) {
        return win32::OpenError(path);
    }
    return {};
}

std::error_code MakeDirectory(const std::string& path) {
    if (!CreateDirectoryA(path.c_str(), nullptr)) {
        return LastError();
    }
    return {};
}

std::string ExecutableDirectory() {
    std::vector<char> buffer(MAX_PATH + 1);
    for (;;) {
        const DWORD length =
            GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) {
            return {};
        }
        if (length < buffer.size()) {
            const std::string exe(buffer.data(), length);
            const std::size_t separator = win32::LastSeparator(exe);
            if (separator == std::string::npos) {
                return {};
            }
            // An executable in "C:\" has "C:\" as its folder ("C:" alone is
            // the current folder of drive C); elsewhere the folder has no
            // trailing separator.
            const std::size_t root = win32::RootLength(exe);
            return exe.substr(0, separator < root ? root : separator);
        }
        if (buffer.size() > 1 << 16) {
            return {};  // Longer than any path the system makes.
        }
        buffer.resize(buffer.size() * 2);  // Cut short: ask again with more room.
    }
}

}  // namespace cj::platform
