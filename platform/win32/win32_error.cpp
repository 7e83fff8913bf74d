#include "platform/win32/win32_error.h"

#include <string>

namespace cj::platform::win32 {
namespace {

class Win32ErrorCategory final : public std::error_category {
  public:
    const char* name() const noexcept override { return "win32"; }

    std::string message(int code) const override {
        char* text = nullptr;
        const DWORD length = FormatMessageA(
            FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                FORMAT_MESSAGE_IGNORE_INSERTS,
            nullptr, static_cast<DWORD>(code), 0, reinterpret_cast<char*>(&text), 0, nullptr);
        std::string message = length > 0 && text != nullptr ? std::string(text, length)
                                                            : "Win32 error " + std::to_string(code);
        LocalFree(text);
        while (!message.empty() && (message.back() == '\n' || message.back() == '\r' ||
                                    message.back() == ' ' || message.back() == '.')) {
            message.pop_back();
        }
        return message;
    }
};

}  // namespace

const std::error_category& Win32Category() {
    static const Win32ErrorCategory category;
    return category;
}

std::error_code FromWin32(DWORD error) {
    const auto portable = [](std::errc condition) { return std::make_error_code(condition); };
    switch (error) {
        case ERROR_SUCCESS:
            return {};
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
        case ERROR_INVALID_DRIVE:
        case ERROR_BAD_NETPATH:
        case ERROR_BAD_NET_NAME:
        case ERROR_NOT_READY:
            return portable(std::errc::no_such_file_or_directory);
        case ERROR_ACCESS_DENIED:
        case ERROR_WRITE_PROTECT:
        case ERROR_PRIVILEGE_NOT_HELD:
            return portable(std::errc::permission_denied);
        case ERROR_FILE_EXISTS:
        case ERROR_ALREADY_EXISTS:
            return portable(std::errc::file_exists);
        case ERROR_DISK_FULL:
        case ERROR_HANDLE_DISK_FULL:
            return portable(std::errc::no_space_on_device);
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION:
        case ERROR_IO_PENDING:
            return portable(std::errc::resource_unavailable_try_again);
        case ERROR_DIRECTORY:
            return portable(std::errc::not_a_directory);
        case ERROR_DIR_NOT_EMPTY:
            return portable(std::errc::directory_not_empty);
        case ERROR_FILENAME_EXCED_RANGE:
            return portable(std::errc::filename_too_long);
        case ERROR_INVALID_NAME:
        case ERROR_INVALID_PARAMETER:
        case ERROR_BAD_PATHNAME:
            return portable(std::errc::invalid_argument);
        case ERROR_REQUEST_ABORTED:
        case ERROR_OPERATION_ABORTED:
            return portable(std::errc::operation_canceled);
        case ERROR_NOT_ENOUGH_MEMORY:
        case ERROR_OUTOFMEMORY:
            return portable(std::errc::not_enough_memory);
        case ERROR_FILE_TOO_LARGE:
            return portable(std::errc::file_too_large);
        case ERROR_NOT_SAME_DEVICE:
            return portable(std::errc::cross_device_link);
        case ERROR_CANT_RESOLVE_FILENAME:
            return portable(std::errc::too_many_symbolic_link_levels);
        case ERROR_CALL_NOT_IMPLEMENTED:
        case ERROR_NOT_SUPPORTED:
            return portable(std::errc::operation_not_supported);
        default:
            return {static_cast<int>(error), Win32Category()};
    }
}

std::error_code LastError() {
    return FromWin32(GetLastError());
}

}  // namespace cj::platform::win32
