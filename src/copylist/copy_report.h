// The report of a copy's end, data/CopyReport.txt: written by the window and
// by the command line alike, so that both leave the same details behind.
#pragma once

#include <string>
#include <string_view>
#include <system_error>

#include "copylist/copy_summary.h"

namespace cj::copylist {

// data/CopyReport.txt of runDirectory (no trailing separator).
std::string CopyReportPath(std::string_view runDirectory);

// The report: the summary line, a line naming the target folder when it
// could not be made, a line when the copies could not be flushed to the
// device, then one line per file not copied with its target and the reason
// (skipped, failed, or not tried because of a stop). Lines end with LF; the
// text is in the platform's multibyte encoding.
std::string CopyReportText(const CopySummary& summary);

// Replaces the report at path with CopyReportText(summary) atomically.
std::error_code WriteCopyReport(const std::string& path, const CopySummary& summary);

// The reason for a failed file operation in the program's words, for the
// failures a user can act on (a full disk, no permission), the system's own
// message otherwise.
std::string ReasonText(std::error_code error);

}  // namespace cj::copylist
