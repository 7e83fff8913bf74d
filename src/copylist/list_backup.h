// The copy list's backup file, data/Backup.txt: every path followed by the
// separator "*#*\", in the platform's narrow encoding, with nothing else (no
// header, no line break; an empty list is an empty file). Any thread.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "copylist/copy_list.h"
#include "platform/code_page.h"

namespace cj::copylist {

inline constexpr std::string_view BackupSeparator = "*#*\\";

// The file's bytes for these entries.
std::string BackupBytes(std::span<const CopyEntry> entries);

// The paths of a backup file's bytes: the text up to the first zero byte, split
// at every separator that starts on a character boundary of codePage. Every
// piece before a separator is kept, an empty one too; the piece after the last
// separator only when it is not empty.
std::vector<std::string> SplitBackup(std::string_view bytes, platform::CodePage codePage);

// Replaces the file at path atomically; a missing data folder is not created.
std::error_code TryWriteBackupFile(const std::string& path, std::span<const CopyEntry> entries);
// Reads and splits the file at path; a file that cannot be read gives no paths
// and its error.
std::error_code TryReadBackupFile(const std::string& path, std::vector<std::string>& paths);

}  // namespace cj::copylist
