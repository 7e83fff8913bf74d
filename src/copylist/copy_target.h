// Where the copy job and the direct copy put a file, and the one step of
// copying a file there that both share. Any thread.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "copylist/copy_summary.h"
#include "platform/file_copy.h"

namespace cj::copylist {

// The target path of source in the folder the user typed: the text, a
// separator unless the text is empty or already ends in one, and source's
// file name with its extension.
std::string TargetPath(std::string_view targetText, std::string_view source);

// Creates the target folder, one level, when nothing exists at targetText
// (an empty text is the current folder), and removes the temporaries that
// copies killed there left (see platform::RemoveOrphanedCopies). Returns why
// the folder cannot take files: the creation's error, or
// std::errc::not_a_directory when something else has its name.
std::error_code PrepareTargetFolder(const std::string& targetText);

// Fails every source because the target folder cannot take files (see
// PrepareTargetFolder), naming the folder and its error in summary.
void FailForFolder(const std::vector<std::string>& sources, const std::string& targetText,
                   std::error_code error, CopySummary& summary);

// Counts sources[from...] as not tried, each named in notCopied.
void CountNotTried(const std::vector<std::string>& sources, std::size_t from,
                   const std::string& targetText, CopySummary& summary);

// Copies source to TargetPath(targetText, source) (see
// platform::CopyFileExclusive) and counts the outcome in summary: copied,
// skipped because the target exists, or failed, the last two with an entry in
// notCopied. A copy that progress stopped left nothing and counts as not
// tried (listed too). Returns the copy's error (operation_canceled when stopped).
std::error_code CopyIntoFolder(const std::string& source, const std::string& targetText,
                               const platform::CopyProgress& progress, CopySummary& summary);

// The percentage of a file copied so far, truncated: 0 for an empty file.
int CopyPercent(std::uint64_t total, std::uint64_t transferred);

}  // namespace cj::copylist
