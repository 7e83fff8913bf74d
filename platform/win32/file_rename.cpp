// Renaming over a file on Windows, where an ordinary rename cannot replace a
// file that anyone holds open.
#include "platform/win32/file_rename.h"

#include <cstddef>
#include <cstring>
#include <random>
#include <vector>

#include "platform/win32/file_handle.h"
#include "platform/win32/path_text.h"
#include "platform/win32/win32_error.h"

namespace cj::platform::win32 {
namespace {

// Six letters or digits that make a temporary name unlikely to be taken.
std::string RandomSuffix() {
    static constexpr char Letters[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    thread_local std::minstd_rand generator(std::random_device{}() ^
                                            static_cast<unsigned>(GetCurrentProcessId()) ^
                                            static_cast<unsigned>(GetTickCount64()));
    std::uniform_int_distribution<std::size_t> pick(0, sizeof Letters - 2);
    std::string suffix(6, 'X');
    for (char& letter : suffix) {
        letter = Letters[pick(generator)];
    }
    return suffix;
}

// path as the native API names it ("\??\C:\...", "\??\UNC\server\share\..."),
// converted as the A functions convert, or empty when it cannot be.
std::wstring NativePath(const std::string& path) {
    const UINT codePage = AreFileApisANSI() ? CP_ACP : CP_OEMCP;
    const int length =
        MultiByteToWideChar(codePage, 0, path.data(), static_cast<int>(path.size()), nullptr, 0);
    if (length <= 0) {
        return {};
    }
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(codePage, 0, path.data(), static_cast<int>(path.size()), wide.data(),
                        length);
    const DWORD needed = GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
    if (needed == 0) {
        return {};
    }
    std::wstring full(needed, L'\0');
    full.resize(GetFullPathNameW(wide.c_str(), needed, full.data(), nullptr));
    if (full.starts_with(L"\\\\?\\") || full.starts_with(L"\\\\.\\")) {
        return L"\\??\\" + full.substr(4);
    }
    if (full.starts_with(L"\\\\")) {
        return L"\\??\\UNC\\" + full.substr(2);
    }
    return L"\\??\\" + full;
}

// Renames from over to with POSIX semantics (Windows 10 1607 and later, on
// NTFS): a file at to that others hold open, shared for deletion, is replaced
// all the same, and they keep reading the old one. False when the system or
// volume has no such rename (older Windows, FAT, Wine): ERROR_INVALID_PARAMETER
// and the like, which an ordinary rename then reports if they mean more.
bool TryPosixRename(const std::string& from, const std::string& to, std::error_code& ec) {
    const std::wstring target = NativePath(to);
    FileHandle source(
        CreateFileA(from.c_str(), DELETE | SYNCHRONIZE, ShareAll, nullptr, OPEN_EXISTING,
                    FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (target.empty() || !source) {
        return false;
    }
    const std::size_t nameBytes = target.size() * sizeof(wchar_t);
    std::vector<unsigned char> buffer(offsetof(FILE_RENAME_INFO, FileName) + nameBytes +
                                      sizeof(wchar_t));
    // Flags share their place with ReplaceIfExists, which is all the
    // Windows 7 headers know of.
    constexpr DWORD Flags = 0x1 | 0x2;  // FILE_RENAME_FLAG_REPLACE_IF_EXISTS | _POSIX_SEMANTICS
    std::memcpy(buffer.data(), &Flags, sizeof Flags);
    const auto nameLength = static_cast<DWORD>(nameBytes);
    std::memcpy(buffer.data() + offsetof(FILE_RENAME_INFO, FileNameLength), &nameLength,
                sizeof nameLength);
    std::memcpy(buffer.data() + offsetof(FILE_RENAME_INFO, FileName), target.data(), nameBytes);
    constexpr auto FileRenameInfoEx = static_cast<FILE_INFO_BY_HANDLE_CLASS>(22);
    if (SetFileInformationByHandle(source.Get(), FileRenameInfoEx, buffer.data(),
                                   static_cast<DWORD>(buffer.size()))) {
        ec.clear();
        return true;
    }
    const DWORD error = GetLastError();
    if (error == ERROR_INVALID_PARAMETER || error == ERROR_NOT_SUPPORTED ||
        error == ERROR_INVALID_FUNCTION || error == ERROR_ACCESS_DENIED) {
        return false;
    }
    ec = FromWin32(error);
    return true;
}

}  // namespace

std::string TemporaryNameBeside(std::string_view path) {
    const std::size_t nameStart = NameStart(path);
    std::string name(path.substr(0, nameStart));
    name += '.';
    name += path.substr(nameStart);
    return name + ".tmp-" + RandomSuffix();
}

// Renames from over the file at to, which the caller made sure is no folder
// and not read-only.
std::error_code RenameOver(const std::string& from, const std::string& to, HeldTarget held) {
    std::error_code ec;
    if (TryPosixRename(from, to, ec)) {
        return ec;
    }
    // WRITE_THROUGH returns once the rename is on the disk: Windows has no
    // folder to flush afterwards.
    constexpr DWORD Replace = MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH;
    DWORD pauseMs = 1;
    for (;;) {
        if (MoveFileExA(from.c_str(), to.c_str(), Replace)) {
            return {};
        }
        const DWORD error = GetLastError();
        if (error != ERROR_ACCESS_DENIED && error != ERROR_SHARING_VIOLATION) {
            return FromWin32(error);
        }
        if (held == HeldTarget::MoveAside) {
            break;
        }
        // About half a second in all, far beyond a reader's moment.
        if (pauseMs > 256) {
            return FromWin32(error);
        }
        Sleep(pauseMs);
        pauseMs *= 2;
    }
    // The aside name is a leftover's, removed with the other leftovers of
    // killed writes should the removal below fail or the process die.
    std::string aside;
    for (int attempt = 0;; ++attempt) {
        aside = TemporaryNameBeside(to);
        if (MoveFileExA(to.c_str(), aside.c_str(), 0)) {
            break;
        }
        const DWORD error = GetLastError();
        if (attempt == 99 || (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS)) {
            return FromWin32(error);
        }
    }
    if (!MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_WRITE_THROUGH)) {
        ec = LastError();
        MoveFileExA(aside.c_str(), to.c_str(), 0);
        return ec;
    }
    DeleteFileA(aside.c_str());
    return {};
}

}  // namespace cj::platform::win32
