#include "core/event_log.h"

#include <ctime>
#include <mutex>

#include "core/data_paths.h"
#include "platform/files.h"
#include "platform/line_end.h"

namespace cj::core {
namespace {

std::mutex g_mutex;
std::string g_path;  // Under g_mutex. Empty: log nothing.

std::string LocalTime() {
    const std::time_t now = std::time(nullptr);
    // std::localtime shares one buffer: it is read under g_mutex, and nothing
    // else in the program asks for local time.
    const std::tm* local = std::localtime(&now);  // NOLINT(concurrency-mt-unsafe)
    char text[32] = "";
    if (local == nullptr || std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", local) == 0) {
        return "?";
    }
    return text;
}

// Keeps the newest half of the log, cut at a line start. Under g_mutex; two
// processes trimming at once may drop a line of each other's, which a log of
// survived failures can afford.
void Trim(const std::string& path) {
    std::string text;
    if (platform::ReadWholeFile(path, text)) {
        return;
    }
    std::size_t from = text.size() > MaxLogBytes / 2 ? text.size() - MaxLogBytes / 2 : 0;
    from = text.find('\n', from);
    if (from == std::string::npos) {
        return;
    }
    static_cast<void>(
        platform::WriteWholeFileAtomic(path, std::string_view(text).substr(from + 1)));
}

}  // namespace

std::string LogPath(std::string_view runDirectory) {
    return platform::JoinPath(DataDirectory(runDirectory), "chengjing.log");
}

void SetLogRunDirectory(std::string_view runDirectory) {
    std::string path = runDirectory.empty() ? std::string() : LogPath(runDirectory);
    const std::lock_guard lock(g_mutex);
    g_path = std::move(path);
}

void LogFailure(std::string_view what, std::error_code reason) noexcept {
    try {
        const std::lock_guard lock(g_mutex);
        if (g_path.empty()) {
            return;
        }
        std::string line = LocalTime();
        line += ' ';
        line += what;
        if (reason) {
            line += ": ";
            line += reason.message();
        }
        for (char& c : line) {
            if (c == '\n' || c == '\r') {
                c = ' ';
            }
        }
        line += platform::TextLineEnd;
        std::uint64_t size = 0;
        if (!platform::AppendToFile(g_path, line, size) && size > MaxLogBytes) {
            Trim(g_path);
        }
    } catch (...) {
        // No memory for the line: it is dropped.
    }
}

}  // namespace cj::core
