#include "copylist/list_backup.h"

#include "platform/files.h"

namespace cj::copylist {

std::string BackupBytes(std::span<const CopyEntry> entries) {
    std::size_t size = 0;
    for (const CopyEntry& entry : entries) {
        size += entry.path.size() + BackupSeparator.size();
    }
    std::string bytes;
    bytes.reserve(size);
    for (const CopyEntry& entry : entries) {
        bytes += entry.path;
        bytes += BackupSeparator;
    }
    return bytes;
}

std::vector<std::string> SplitBackup(std::string_view bytes, platform::CodePage codePage) {
    // A zero byte ends the text: whatever a damaged or hand-edited file holds
    // after it is not read as paths.
    const std::string_view text = bytes.substr(0, bytes.find('\0'));
    std::vector<std::string> pieces;
    std::size_t pieceStart = 0;
    std::size_t pos = 0;
    while (pos < text.size()) {
        if (text.compare(pos, BackupSeparator.size(), BackupSeparator) == 0) {
            pieces.emplace_back(text.substr(pieceStart, pos - pieceStart));
            pos += BackupSeparator.size();
            pieceStart = pos;
            continue;
        }
        // Character by character, so that a separator is never matched at
        // the second byte of a double-byte character ("\x81*" is one
        // character in GBK, whatever follows it). The separator is ASCII, so
        // the position after it is always a boundary again.
        pos = platform::NextCharBoundaryByLead(text, pos, codePage);
    }
    if (pieceStart < text.size()) {
        pieces.emplace_back(text.substr(pieceStart));
    }
    return pieces;
}

std::error_code TryWriteBackupFile(const std::string& path, std::span<const CopyEntry> entries) {
    if (path.empty()) {
        return std::make_error_code(std::errc::no_such_file_or_directory);
    }
    // The temporary file is made in the data folder itself, so a missing data
    // folder fails here without anything being created.
    return platform::WriteWholeFileAtomic(path, BackupBytes(entries));
}

std::error_code TryReadBackupFile(const std::string& path, std::vector<std::string>& paths) {
    paths.clear();
    std::string bytes;
    if (const std::error_code error = platform::ReadWholeFile(path, bytes)) {
        return error;
    }
    paths = SplitBackup(bytes, platform::ActiveCodePage());
    return {};
}

}  // namespace cj::copylist
