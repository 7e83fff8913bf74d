// Where the copy job and the direct copy put a file, and the one step of
// copying a file there that both share. Any thread.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "copylist/copy_summary.h"
#include "core/same_name_rule.h"
#include "platform/file_copy.h"

namespace cj::copylist {

// The target path of source in the folder the user typed: the text, a
// separator unless the text is empty or already ends in one, and source's
// file name with its extension.
std::string TargetPath(std::string_view targetText, std::string_view source);

// The name under which KeepBoth copies a file whose own name (fileName, no
// folder) is taken: number in brackets after a blank, before the extension
// ("a.jpg", 2 gives "a (2).jpg"; "archive.tar.gz" gives "archive.tar (2).gz";
// "README" gives "README (2)"). A name's leading dot starts no extension
// (".profile" gives ".profile (2)"). Bytes of any code page: "." is never part
// of a double-byte character in GBK or UTF-8.
std::string KeepBothName(std::string_view fileName, unsigned number);

// Creates the target folder, one level, when nothing exists at targetText
// (an empty text is the current folder), and removes the temporaries that
// copies killed there left (see platform::RemoveOrphanedCopies). Returns why
// the folder cannot take files: the creation's error, or
// std::errc::not_a_directory when something else has its name.
std::error_code PrepareTargetFolder(const std::string& targetText);

// Creates the target folder with every missing folder above it (the copy job
// itself makes one level only; this is for a user who asked for it). An
// existing folder is success; the first failure is returned, and what was
// made before it stays.
std::error_code CreateTargetFolders(const std::string& targetText);

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
// notCopied. Under KeepBoth a taken name is no skip: the file goes under the
// first free KeepBothName, numbers from 2 on (a name taken between the look
// and the copy's end is passed by for the next), and is listed in renamed.
// A copy that progress stopped left nothing and counts as not tried (listed
// too). Returns the copy's error (operation_canceled when stopped).
std::error_code CopyIntoFolder(const std::string& source, const std::string& targetText,
                               const platform::CopyProgress& progress, CopySummary& summary,
                               core::SameNameRule rule = core::SameNameRule::Skip);

// The percentage of a file copied so far, truncated: 0 for an empty file.
int CopyPercent(std::uint64_t total, std::uint64_t transferred);

}  // namespace cj::copylist
