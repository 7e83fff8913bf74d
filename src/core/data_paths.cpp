#include "core/data_paths.h"

#include "platform/files.h"

namespace cj::core {

std::string DataDirectory(std::string_view runDirectory) {
    return platform::JoinPath(runDirectory, "data");
}

std::string ConfigPath(std::string_view runDirectory) {
    return platform::JoinPath(DataDirectory(runDirectory), "chengjing.ini");
}

std::string ShardPath(std::string_view runDirectory, int n) {
    return platform::JoinPath(DataDirectory(runDirectory), std::to_string(n) + ".txt");
}

std::string NewShardPath(std::string_view runDirectory, int n) {
    return ShardPath(runDirectory, n) + ".new";
}

std::string CommitRecordPath(std::string_view runDirectory) {
    return platform::JoinPath(DataDirectory(runDirectory), "commit.txt");
}

std::string BackupPath(std::string_view runDirectory) {
    return platform::JoinPath(DataDirectory(runDirectory), "Backup.txt");
}

std::string CopyReportPath(std::string_view runDirectory) {
    return platform::JoinPath(DataDirectory(runDirectory), "CopyReport.txt");
}

}  // namespace cj::core
