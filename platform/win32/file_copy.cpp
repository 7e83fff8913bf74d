#include "platform/file_copy.h"

#include <windows.h>

#include <algorithm>

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
        return std::make_error_code(std::errc::invalid_argument);
    }
    BY_HANDLE_FILE_INFORMATION info{};
    if (!GetFileInformationByHandle(file.Get(), &info)) {
        return LastError();
    }
    if ((info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return std::make_error_code(std::errc::invalid_argument);
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
    if (const std::error_code ec = win32::CheckSource(source, state.total); ec) {
        return ec;
    }
    // COPY_FILE_FAIL_IF_EXISTS refuses an existing file, but a folder at the
    // target gives "access denied", and a dangling link would be written
    // through: anything there is refused first.
    if (win32::EntryExists(target)) {
        return std::make_error_code(std::errc::file_exists);
    }
    if (progress && !progress(state.total, 0)) {
        return std::make_error_code(std::errc::operation_canceled);
    }

    // Windows calls the routine after every chunk, so a stop is seen within
    // one. Wine never calls it (nor honours the cancel flag):
    // there a stop is seen in the call after the copy, below, and the finished
    // copy is removed, so a stopped copy still leaves nothing behind.
    if (!CopyFileExA(source.c_str(), target.c_str(), &win32::CopyProgressRoutine, &state, nullptr,
                     COPY_FILE_FAIL_IF_EXISTS)) {
        const DWORD error = GetLastError();
        if (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS) {
            return std::make_error_code(std::errc::file_exists);  // Someone else's, just made.
        }
        // Windows removes a copy it failed or stopped; Wine leaves what it
        // wrote of a failed one.
        win32::RemoveCreatedTarget(target, state);
        return state.stopped ? std::make_error_code(std::errc::operation_canceled)
                             : win32::FromWin32(error);
    }
    if (!state.targetKnown) {
        win32::FileHandle copy(CreateFileA(target.c_str(), FILE_READ_ATTRIBUTES, win32::ShareAll,
                                            nullptr, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT,
                                            nullptr));
        if (copy.Get() != INVALID_HANDLE_VALUE) {
            win32::RememberTarget(copy.Get(), state);
        }
    }
    // The last chunk's count, unless the system told it already.
    if (progress && state.reported < state.total && !progress(state.total, state.total)) {
        win32::RemoveCreatedTarget(target, state);
        return std::make_error_code(std::errc::operation_canceled);
    }
    return {};
}

}  // namespace cj::platform
