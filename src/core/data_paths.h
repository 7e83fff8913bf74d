// Where the program keeps its files: the data folder of the run directory,
// which platform/run_directory.h chooses at start (beside the executable, or
// the user's data home for an installed program).
#pragma once

#include <string>
#include <string_view>

namespace cj::core {

// runDirectory has no trailing separator.
std::string DataDirectory(std::string_view runDirectory);
std::string ConfigPath(std::string_view runDirectory);        // data/chengjing.ini
std::string ShardPath(std::string_view runDirectory, int n);  // data/<n>.txt, n from 1
// data/<n>.txt.new: shard n of an index being committed (index/index_commit.h).
std::string NewShardPath(std::string_view runDirectory, int n);
std::string CommitRecordPath(std::string_view runDirectory);  // data/commit.txt
std::string BackupPath(std::string_view runDirectory);        // data/Backup.txt
std::string CopyReportPath(std::string_view runDirectory);    // data/CopyReport.txt

}  // namespace cj::core
