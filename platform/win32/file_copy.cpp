#include "platform/file_copy.h"

#include <windows.h>

#include <algorithm>

#include "platform/common/copy_temporary.h"
#include "platform/path_text.h"
#include "platform/win32/copy_progress.h"
#include "platform/win32/file_handle.h"
#include "platform/win32/win32_error.h"

namespace cj::platform {
namespace win32 {
namespace {

bool Identify(HANDLE file, std::uint64_t& volume, std::uint64_t& index) {
    BY_HANDLE_FILE_INFORMATION info{};
    if (!GetFileInformationByHandle(file, &info)) {
        return false;
    }
    volume = info.dwVolumeSerialNumber;
    index = (std::uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow;
    return true;
}

void RememberTarget(HANDLE target, CopyProgressState& state) {
    state.targetKnown = Identify(target, state.targetVolume, state.targetIndex);
}

// The source's size, refusing what is not a regular file. The source is
// opened for its attributes only, never read: a folder (which backup
// semantics lets us open) or a device (NUL, a pipe, a COM port) is refused
// before CopyFileExA could start reading it.
std::error_code CheckSource(const std::string& source, std::uint64_t& size) {
    FileHandle file(CreateFileA(source.c_str(), FILE_READ_ATTRIBUTES, ShareAll, nullptr,
                                OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (file.Get() == INVALID_HANDLE_VALUE) {
        return LastError();
    }
    if (GetFileType(file.Get()) != FILE_TYPE_DISK) {
        return CopyError::NotRegularFile;
    }
    BY_HANDLE_FILE_INFORMATION info{};
    if (!GetFileInformationByHandle(file.Get(), &info)) {
        return LastError();
    }
    if ((info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return CopyError::NotRegularFile;
    }
    size = (std::uint64_t{info.nFileSizeHigh} << 32) | info.nFileSizeLow;
    return {};
}

// Whatever is at path, a dangling link included: the attributes are those of
// the entry itself, not of what a link leads to.
bool EntryExists(const std::string& path) {
    if (GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES) {
        return true;
    }
    const DWORD error = GetLastError();
    return error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND;
}

// Removes the file at target when it is the one this copy created: when the
// copy knows that file's identity, only a file with that identity (someone
// may have moved ours away and put theirs in its place); otherwise the copy
// failed without the system ever telling us of its target, so any file there
// came from CopyFileExA, which only creates one where none was (another
// program creating one in the moments since is the risk taken). The copy may
// carry the source's read-only attribute, which would refuse the removal.
void RemoveCreatedTarget(const std::string& target, const CopyProgressState& state) {
    FileHandle file(CreateFileA(
        target.c_str(), DELETE | FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES, ShareAll, nullptr,
        OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (file.Get() == INVALID_HANDLE_VALUE) {
        return;  // Already gone: the system removes a copy it failed or stopped.
    }
    BY_HANDLE_FILE_INFORMATION info{};
    if (!GetFileInformationByHandle(file.Get(), &info) ||
        (info.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) != 0) {
        return;
    }
    const std::uint64_t index = (std::uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow;
    if (state.targetKnown &&
        (info.dwVolumeSerialNumber != state.targetVolume || index != state.targetIndex)) {
        return;
    }
    if ((info.dwFileAttributes & FILE_ATTRIBUTE_READONLY) != 0) {
        FILE_BASIC_INFO basic{};
        basic.FileAttributes = FILE_ATTRIBUTE_NORMAL;
        SetFileInformationByHandle(file.Get(), FileBasicInfo, &basic, sizeof basic);
    }
    // Through the handle, so that it is this very file that goes.
    FILE_DISPOSITION_INFO disposition{};
    disposition.DeleteFile = TRUE;
    SetFileInformationByHandle(file.Get(), FileDispositionInfo, &disposition, sizeof disposition);
}

// Deletes the file behind handle, which was opened with DELETE access.
bool DeleteThrough(HANDLE file) {
    FILE_DISPOSITION_INFO disposition{};
    disposition.DeleteFile = TRUE;
    return SetFileInformationByHandle(file, FileDispositionInfo, &disposition,
                                      sizeof disposition) != 0;
}

bool SetAttributes(HANDLE file, DWORD attributes) {
    FILE_BASIC_INFO basic{};  // Zero times: left as they are.
    basic.FileAttributes = attributes == 0 ? FILE_ATTRIBUTE_NORMAL : attributes;
    return SetFileInformationByHandle(file, FileBasicInfo, &basic, sizeof basic) != 0;
}

// The finished temporary, held open from CopyFileExA's return until it is
// published: the handle shares no writing, so that a sweeper, which removes
// only what it can open without sharing anything, leaves it alone, but shares
// deletion, so that our own move may rename it. Deleted on every way out but
// the published one.
class HeldTemporary {
  public:
    // Opens the temporary, hidden and writable (the copy may carry the
    // source's read-only attribute, which would refuse the flush).
    std::error_code TryOpen(const std::string& path) {
        m_attributes = GetFileAttributesA(path.c_str());
        if (m_attributes == INVALID_FILE_ATTRIBUTES) {
            return LastError();
        }
        m_file.Reset(CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE | DELETE,
                                 FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                 FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
        if (!m_file && (m_attributes & FILE_ATTRIBUTE_READONLY) != 0) {
            SetFileAttributesA(path.c_str(), m_attributes & ~DWORD{FILE_ATTRIBUTE_READONLY});
            m_file.Reset(CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE | DELETE,
                                     FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                     FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
        }
        if (!m_file) {
            return LastError();
        }
        SetAttributes(m_file.Get(),
                      (m_attributes & ~DWORD{FILE_ATTRIBUTE_READONLY}) | FILE_ATTRIBUTE_HIDDEN);
        return {};
    }
    ~HeldTemporary() {
        if (m_file && !m_published) {
            SetAttributes(m_file.Get(), FILE_ATTRIBUTE_NORMAL);
            DeleteThrough(m_file.Get());
        }
    }
    HANDLE Get() const { return m_file.Get(); }
    // The copy has its name: it gets the source's attributes back, no longer
    // hidden unless the source was.
    void Published() {
        m_published = true;
        SetAttributes(m_file.Get(), m_attributes);
    }

  private:
    FileHandle m_file;
    DWORD m_attributes = 0;
    bool m_published = false;
};

// Copies source to a fresh temporary beside target with CopyFileExA, which
// only ever creates a new file. Sets temporary to its path.
std::error_code CopyToTemporary(const std::string& source, const std::string& target,
                                CopyProgressState& state, std::string& temporary) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        temporary = CopyTemporaryPath(target, GetCurrentProcessId());
        state.targetKnown = false;
        // Windows calls the routine after every chunk, so a stop is seen
        // within one. Wine never calls it (nor honours the cancel flag): there
        // a stop is seen in the call after the copy, and the finished copy is
        // removed, so a stopped copy still leaves nothing behind.
        if (CopyFileExA(source.c_str(), temporary.c_str(), &CopyProgressRoutine, &state, nullptr,
                        COPY_FILE_FAIL_IF_EXISTS)) {
            return {};
        }
        const DWORD error = GetLastError();
        if (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS) {
            continue;  // Another copy's temporary: another name.
        }
        // Windows removes a copy it failed or stopped; Wine leaves what it
        // wrote of a failed one.
        RemoveCreatedTarget(temporary, state);
        return state.stopped ? std::make_error_code(std::errc::operation_canceled)
                             : FromWin32(error);
    }
    return std::make_error_code(std::errc::file_exists);
}

std::uint64_t SizeOf(HANDLE file) {
    LARGE_INTEGER size{};
    return GetFileSizeEx(file, &size) ? static_cast<std::uint64_t>(size.QuadPart)
                                      : ~std::uint64_t{0};
}

}  // namespace

DWORD CALLBACK CopyProgressRoutine(LARGE_INTEGER totalFileSize, LARGE_INTEGER totalTransferred,
                                   LARGE_INTEGER /*streamSize*/,
                                   LARGE_INTEGER /*streamTransferred*/, DWORD /*streamNumber*/,
                                   DWORD /*reason*/, HANDLE /*source*/, HANDLE destination,
                                   LPVOID data) {
    auto& state = *static_cast<CopyProgressState*>(data);
    if (!state.targetKnown && destination != nullptr && destination != INVALID_HANDLE_VALUE) {
        RememberTarget(destination, state);
    }
    const auto total = static_cast<std::uint64_t>(totalFileSize.QuadPart);
    const auto done = static_cast<std::uint64_t>(totalTransferred.QuadPart);
    state.total = std::max(total, done);
    // The first call of each stream (CALLBACK_STREAM_SWITCH) repeats a count
    // already told: the zero before the copy, or the end of the last stream.
    if (state.progress == nullptr || !*state.progress || done <= state.reported) {
        return PROGRESS_CONTINUE;
    }
    state.reported = done;
    if (!(*state.progress)(state.total, done)) {
        state.stopped = true;
        return PROGRESS_CANCEL;
    }
    return PROGRESS_CONTINUE;
}

}  // namespace win32

std::error_code CopyFileExclusive(const std::string& source, const std::string& target,
                                  const CopyProgress& progress) {
    win32::CopyProgressState state;
    state.progress = &progress;
    std::uint64_t size = 0;
    if (const std::error_code ec = win32::CheckSource(source, size); ec) {
        return ec;
    }
    state.total = size;
    // A folder at the target would only show at the move, and a dangling
    // link there would be taken for nothing: anything there is refused first.
    if (win32::EntryExists(target)) {
        return std::make_error_code(std::errc::file_exists);
    }
    if (progress && !progress(state.total, 0)) {
        return std::make_error_code(std::errc::operation_canceled);
    }
    std::string temporary;
    if (const std::error_code ec = win32::CopyToTemporary(source, target, state, temporary); ec) {
        return ec;
    }
    // Between CopyFileExA's return and this open nobody holds the
    // temporary: a sweeper in another process may take it then, and the
    // open fails, with nothing under target's name.
    win32::HeldTemporary held;
    if (const std::error_code ec = held.TryOpen(temporary); ec) {
        win32::RemoveCreatedTarget(temporary, state);
        return ec;
    }
    // The last chunk's count, unless the system told it already.
    if (progress && state.reported < state.total && !progress(state.total, state.total)) {
        return std::make_error_code(std::errc::operation_canceled);
    }
    std::uint64_t after = 0;
    if (const std::error_code ec = win32::CheckSource(source, after); ec) {
        return ec;
    }
    if (after != size || win32::SizeOf(held.Get()) != size) {
        return CopyError::SourceChanged;
    }
    // Flushed here, file by file: flushing a whole volume needs an
    // administrator, which a clerk is not.
    if (!FlushFileBuffers(held.Get())) {
        return win32::LastError();
    }
    // No MOVEFILE_REPLACE_EXISTING: a file that took the name meanwhile stays.
    if (!MoveFileExA(temporary.c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH)) {
        const DWORD error = GetLastError();
        return error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS
                   ? std::make_error_code(std::errc::file_exists)
                   : win32::FromWin32(error);
    }
    held.Published();
    return {};
}

std::error_code RemoveOrphanedCopies(const std::string& folder) {
    std::string base = folder.empty() ? std::string(".") : folder;
    if (!EndsWithSeparator(base)) {
        base += '\\';
    }
    WIN32_FIND_DATAA found{};
    const HANDLE search = FindFirstFileA((base + ".cjcopy-*.part").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND
                   ? std::error_code{}
                   : win32::FromWin32(error);
    }
    std::error_code first;
    do {
        if (!IsCopyTemporaryName(found.cFileName) ||
            (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
            continue;
        }
        // Sharing nothing: any handle still open on it, a live writer's,
        // makes this open fail, and the temporary stays.
        const std::string path = base + found.cFileName;
        win32::FileHandle file(CreateFileA(path.c_str(), DELETE | FILE_WRITE_ATTRIBUTES, 0, nullptr,
                                           OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
        if (!file) {
            continue;
        }
        win32::SetAttributes(file.Get(), FILE_ATTRIBUTE_NORMAL);
        if (!win32::DeleteThrough(file.Get()) && !first) {
            first = win32::LastError();
        }
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return first;
}

std::error_code FlushFolderToDevice(const std::string& /*folder*/) {
    return {};  // Each copy was flushed before it was published.
}

}  // namespace cj::platform
