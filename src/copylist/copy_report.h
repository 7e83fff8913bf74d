// The report of a copy's end, data/CopyReport.txt: the window's "查看未复制"
// opens it and chengjing-cli copy writes it too, so both write the same words.
// They live here rather than with the window's other texts because the
// command line links no window code.
#pragma once

#include <string>
#include <string_view>
#include <system_error>

#include "copylist/copy_summary.h"

namespace cj::copylist {

// The report's text: the summary line, a line naming the target folder when
// it could not be made, a line when the copies could not be flushed to the
// device, one line per file copied under a numbered name, then one line per
// file not copied with its target and the reason
// (skipped, failed, or not tried because of a stop). Lines end with LF;
// narrow text.
std::string CopyReportText(const CopySummary& summary);

// The system's reason for a failed file operation, in the program's words
// for the failures a user can act on (a full disk, no permission), the
// system's own message otherwise.
std::string FailureReasonText(std::error_code error);

// Replaces runDirectory's data/CopyReport.txt with summary's report,
// atomically. The system's error when it cannot (no data folder, say).
std::error_code TryWriteCopyReport(std::string_view runDirectory, const CopySummary& summary);

}  // namespace cj::copylist
