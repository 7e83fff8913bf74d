#include "copylist/copy_target.h"

#include <cstring>
#include <fstream>
#include <limits>
#include <memory>

#include "core/event_log.h"
#include "platform/files.h"
#include "platform/path_text.h"
#include "shell/file_name.h"

namespace cj::copylist {

std::string TargetPath(std::string_view targetText, std::string_view source) {
    std::string path(targetText);
    if (!path.empty() && !platform::EndsWithSeparator(path)) {
        path += platform::PathSeparator;
    }
    path += shell::FileName(source, true);
    return path;
}

std::string KeepBothName(std::string_view fileName, unsigned number) {
    std::size_t dot = fileName.rfind('.');
    if (dot == 0 || dot == std::string_view::npos) {
        dot = fileName.size();
    }
    std::string name(fileName.substr(0, dot));
    name += " (" + std::to_string(number) + ")";
    name += fileName.substr(dot);
    return name;
}

namespace {

// Makes one folder; another program making it at the same moment is as good.
std::error_code MakeFolder(const std::string& path) {
    if (const std::error_code ec = platform::MakeDirectory(path);
        ec && !platform::ProbePath(path).isDirectory) {
        return ec;
    }
    return {};
}

}  // namespace

std::error_code PrepareTargetFolder(const std::string& targetText) {
    if (!targetText.empty()) {
        const platform::PathProbe probe = platform::ProbePath(targetText);
        if (probe.exists && !probe.isDirectory) {
            return std::make_error_code(std::errc::not_a_directory);
        }
        // One level only: a mistyped path must not grow a tree of folders.
        if (!probe.exists) {
            if (const std::error_code ec = MakeFolder(targetText)) {
                return ec;
            }
        }
    }
    // A temporary that stays only costs space: the copies go on.
    if (const std::error_code ec = platform::RemoveOrphanedCopies(targetText); ec) {
        core::LogFailure("清理复制临时文件失败 " + targetText, ec);
    }
    return {};
}

std::error_code CreateTargetFolders(const std::string& targetText) {
    // The missing levels, deepest first.
    std::vector<std::string> missing;
    std::string path = targetText;
    while (!path.empty() && !platform::ProbePath(path).exists) {
        missing.push_back(path);
        while (platform::EndsWithSeparator(path) && path.size() > 1) {
            path.pop_back();
        }
        const std::size_t slash = platform::FindLastSeparator(path);
        path = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
    }
    for (auto level = missing.rbegin(); level != missing.rend(); ++level) {
        if (const std::error_code ec = MakeFolder(*level)) {
            return ec;
        }
    }
    return {};
}

void FailForFolder(const std::vector<std::string>& sources, const std::string& targetText,
                   std::error_code error, CopySummary& summary) {
    summary.targetFolder = targetText;
    summary.folderError = error;
    for (const std::string& source : sources) {
        summary.notCopied.push_back({source, TargetPath(targetText, source), error});
        ++summary.failed;
    }
}

void CountNotTried(const std::vector<std::string>& sources, std::size_t from,
                   const std::string& targetText, CopySummary& summary) {
    const auto canceled = std::make_error_code(std::errc::operation_canceled);
    for (std::size_t i = from; i < sources.size(); ++i) {
        summary.notCopied.push_back({sources[i], TargetPath(targetText, sources[i]), canceled});
        ++summary.notTried;
    }
}

namespace {

// Past this many numbered names something other than a full folder answers
// "taken" (a file system that refuses every new name so): the file is
// skipped as existing.
constexpr unsigned LastKeepBothNumber = 10000;

bool SameBytes(const std::string& a, const std::string& b) {
    std::ifstream first(a, std::ios::binary);
    std::ifstream second(b, std::ios::binary);
    if (!first || !second) {
        return false;
    }
    constexpr std::size_t Chunk = std::size_t{1} << 16;
    const std::unique_ptr<char[]> one(new char[Chunk]);
    const std::unique_ptr<char[]> two(new char[Chunk]);
    for (;;) {
        first.read(one.get(), Chunk);
        second.read(two.get(), Chunk);
        const std::streamsize n = first.gcount();
        if (n != second.gcount() ||
            std::memcmp(one.get(), two.get(), static_cast<std::size_t>(n)) != 0) {
            return false;
        }
        if (n == 0 || !first || !second) {
            return first.eof() && second.eof();
        }
    }
}

// Whether the file at target is an earlier copy of source: a copy keeps its
// source's size and modification time, and its bytes. The same list copied
// into the same folder twice then skips what it copied the first time
// instead of keeping a second copy of it.
bool IsCopyOf(const std::string& target, const std::string& source,
              const platform::PathProbe& sourceProbe) {
    const platform::PathProbe probe = platform::ProbePath(target);
    return sourceProbe.exists && !sourceProbe.isDirectory && probe.exists && !probe.isDirectory &&
           probe.size == sourceProbe.size && probe.modified == sourceProbe.modified &&
           SameBytes(target, source);
}

// Copies source under the first free numbered name beside target, unless the
// name or a numbered one holds an earlier copy of it (file_exists then).
std::error_code CopyUnderFreeName(const std::string& source, std::string& target,
                                  const platform::CopyProgress& progress) {
    const platform::PathProbe original = platform::ProbePath(source);
    if (IsCopyOf(target, source, original)) {
        return std::make_error_code(std::errc::file_exists);
    }
    const std::string name = shell::FileName(source, true);
    const std::string folder = target.substr(0, target.size() - name.size());
    std::error_code ec = std::make_error_code(std::errc::file_exists);
    for (unsigned number = 2; number <= LastKeepBothNumber && ec == std::errc::file_exists;
         ++number) {
        std::string numbered = folder + KeepBothName(name, number);
        ec = platform::CopyFileExclusive(source, numbered, progress);
        if (ec != std::errc::file_exists) {
            target = std::move(numbered);
        } else if (IsCopyOf(numbered, source, original)) {
            break;
        }
    }
    return ec;
}

}  // namespace

std::error_code CopyIntoFolder(const std::string& source, const std::string& targetText,
                               const platform::CopyProgress& progress, CopySummary& summary,
                               core::SameNameRule rule) {
    std::string target = TargetPath(targetText, source);
    std::error_code ec = platform::CopyFileExclusive(source, target, progress);
    bool renamed = false;
    if (ec == std::errc::file_exists && rule == core::SameNameRule::KeepBoth &&
        !shell::FileName(source, true).empty()) {
        ec = CopyUnderFreeName(source, target, progress);
        renamed = !ec;
    }
    if (!ec) {
        if (renamed) {
            summary.renamed.push_back({source, target});
        }
        ++summary.copied;
    } else if (ec == std::errc::operation_canceled) {
        summary.notCopied.push_back({source, std::move(target), ec});
        ++summary.notTried;
    } else {
        // Listed before counted: when the list cannot grow, the caller
        // counts the file itself.
        summary.notCopied.push_back({source, std::move(target), ec});
        ++(ec == std::errc::file_exists ? summary.skippedExisting : summary.failed);
    }
    return ec;
}

int CopyPercent(std::uint64_t total, std::uint64_t transferred) {
    if (total == 0) {
        return 0;
    }
    if (transferred >= total) {
        return 100;
    }
    // transferred * 100 wraps past 184 PB: both sides lose their low bits
    // first, which moves the figure by far less than one percent.
    while (transferred > std::numeric_limits<std::uint64_t>::max() / 100) {
        transferred >>= 1;
        total >>= 1;
    }
    const std::uint64_t percent = transferred * 100 / total;
    return static_cast<int>(percent < 99 ? percent : 99);
}

}  // namespace cj::copylist
