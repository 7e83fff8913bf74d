// The whole-file and path services that are the same on every system; the
// system's own are in posix/ and win32/files.cpp.
#include "platform/files.h"

#include <utility>

#include "platform/path_text.h"

namespace cj::platform {

std::error_code WriteFileAndSync(const std::string& path, std::string_view data) {
    SyncedFileWriter writer;
    std::error_code ec = writer.TryCreate(path);
    if (!ec) {
        ec = writer.TryAppend(data);
    }
    if (!ec) {
        ec = writer.TrySyncAndClose();
    }
    return ec;
}

SyncedFileWriter::SyncedFileWriter(SyncedFileWriter&& other) noexcept
    : m_handle(std::exchange(other.m_handle, NoHandle)),
      m_size(other.m_size),
      m_handedOn(other.m_handedOn) {}

SyncedFileWriter& SyncedFileWriter::operator=(SyncedFileWriter&& other) noexcept {
    if (this != &other) {
        Close();
        m_handle = std::exchange(other.m_handle, NoHandle);
        m_size = other.m_size;
        m_handedOn = other.m_handedOn;
    }
    return *this;
}

std::string JoinPath(std::string_view head, std::string_view tail) {
    if (head.empty()) {
        return std::string(tail);
    }
    if (tail.empty()) {
        return std::string(head);
    }
    std::string joined(head);
    // A GBK character may end in the byte of "\": only a separator that
    // starts a character counts.
    const bool headEnds = EndsWithSeparator(head);
    const bool tailStarts = tail.front() == PathSeparator;
    if (headEnds && tailStarts) {
        tail.remove_prefix(1);
    } else if (!headEnds && !tailStarts) {
        joined += PathSeparator;
    }
    joined += tail;
    return joined;
}

}  // namespace cj::platform
