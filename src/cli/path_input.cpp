#include "cli/path_input.h"

#include <cerrno>
#include <chrono>
#include <utility>

namespace cj::cli {
namespace {

constexpr std::string_view Utf8Bom = "\xEF\xBB\xBF";
// What a refused long line keeps, to be named by.
constexpr std::size_t KeptOfLongLine = 200;

}  // namespace

PathInput::PathInput(std::FILE* in) : m_shared(std::make_shared<Shared>()) {
    m_reader = std::thread([in, shared = m_shared] { Read(in, shared); });
}

PathInput::~PathInput() {
    // Abandoned first, so that a reader waiting for room ends instead of
    // waiting for a taker that has gone (an exception, a stop).
    Abandon();
    bool ended = false;
    {
        const std::lock_guard lock(m_shared->mutex);
        ended = m_shared->ended;
    }
    if (ended) {
        m_reader.join();
    } else {
        m_reader.detach();
    }
}

bool PathInput::Take(std::vector<PathLine>& out, const std::atomic<bool>& stop) {
    std::unique_lock lock(m_shared->mutex);
    Shared& shared = *m_shared;
    while (!shared.changed.wait_for(lock, std::chrono::milliseconds(50), [&] {
        return !shared.lines.empty() || shared.ended || stop.load();
    })) {
    }
    if (shared.lines.empty() || stop.load()) {
        return false;
    }
    while (!shared.lines.empty() && out.size() < MaxTake) {
        shared.bytes -= shared.lines.front().path.size();
        out.push_back(std::move(shared.lines.front()));
        shared.lines.pop_front();
    }
    shared.changed.notify_all();
    return true;
}

std::size_t PathInput::Abandon() {
    const std::lock_guard lock(m_shared->mutex);
    const std::size_t waiting = m_shared->lines.size();
    m_shared->abandoned = true;
    m_shared->lines.clear();
    m_shared->changed.notify_all();
    return waiting;
}

std::error_code PathInput::Error() const {
    const std::lock_guard lock(m_shared->mutex);
    return m_shared->error;
}

void PathInput::Read(std::FILE* in, const std::shared_ptr<Shared>& shared) {
    // False once nobody takes lines any more.
    const auto handOn = [&shared](PathLine line) {
        std::unique_lock lock(shared->mutex);
        shared->changed.wait(lock, [&] { return shared->abandoned || shared->bytes < QueueBytes; });
        if (shared->abandoned) {
            return false;
        }
        shared->bytes += line.path.size();
        shared->lines.push_back(std::move(line));
        shared->changed.notify_all();
        return true;
    };
    PathLine line{.number = 1};
    std::size_t length = 0;  // Of the whole line, kept or not.
    const auto endLine = [&] {
        if (line.number == 1 && line.path.starts_with(Utf8Bom)) {
            line.path.erase(0, Utf8Bom.size());
        }
        if (line.problem != LineProblem::TooLong && line.path.ends_with('\r')) {
            line.path.pop_back();
        }
        if (line.path.size() > MaxPathLine) {
            line.problem = LineProblem::TooLong;
            line.path.resize(KeptOfLongLine);
        }
        const std::size_t next = line.number + 1;
        const bool goOn = line.path.empty() || handOn(std::move(line));
        line = PathLine{.number = next};
        length = 0;
        return goOn;
    };
    // getc rather than fread: a pipe's lines are handed on as they come, not
    // once a buffer is full.
    std::error_code error;
    for (bool goOn = true; goOn;) {
        const int c = std::getc(in);
        if (c == EOF) {
            if (std::ferror(in) != 0) {
                error = {errno != 0 ? errno : EIO, std::generic_category()};
            }
            endLine();
            break;
        }
        if (c == '\n') {
            goOn = endLine();
            continue;
        }
        if (c == '\0' && line.problem == LineProblem::None) {
            line.problem = LineProblem::NulByte;
        }
        if (++length > MaxPathLine + 1 && line.problem != LineProblem::TooLong) {
            // The CR of a CR LF end is allowed past the limit.
            line.problem = LineProblem::TooLong;
            line.path.resize(KeptOfLongLine);
            line.path.shrink_to_fit();
        }
        if (line.problem != LineProblem::TooLong) {
            line.path += static_cast<char>(c);
        }
    }
    const std::lock_guard lock(shared->mutex);
    shared->ended = true;
    shared->error = error;
    shared->changed.notify_all();
}

}  // namespace cj::cli
