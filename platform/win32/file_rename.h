// Renaming a new file over an existing one on Windows, and the temporary
// names of the files written that way.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>
#include <system_error>

namespace cj::platform::win32 {

// A new name beside path for a temporary file of it: ".<name>.tmp-" and six
// random letters or digits, the form AtomicWriteTarget (files.h) knows.
std::string TemporaryNameBeside(std::string_view path);

// How a rename treats a file at its target that someone holds open, where
// the system lacks POSIX semantics: MoveFileExA cannot replace such a file
// (ERROR_ACCESS_DENIED; Wine does the same).
enum class HeldTarget {
    // Wait a little for its reader to close it, then fail: the name never goes
    // missing. For the configuration, which readers hold for a moment.
    Wait,
    // Rename it aside first, which its readers' FILE_SHARE_DELETE allows, and
    // remove it once they close it. The name is missing between the two
    // renames. For the shards, which a search keeps mapped while its results
    // are shown, and which are renamed under the Index lock that keeps new
    // readers away meanwhile.
    MoveAside,
};

// Renames from over the file at to, atomically where the system has POSIX
// rename semantics (Windows 10 1607 and later, on NTFS), with MoveFileExA
// elsewhere. The caller made sure that to is no folder and not read-only.
std::error_code RenameOver(const std::string& from, const std::string& to, HeldTarget held);

}  // namespace cj::platform::win32
