#include "index/commit_record.h"

#include <charconv>

#include "core/text_rules.h"

namespace cj::index {
namespace {

constexpr std::string_view Title = "chengjing index commit";
constexpr std::string_view End = "end";

// Reads the lines one by one; every line must end in CR LF.
class Lines {
  public:
    explicit Lines(std::string_view text) : m_rest(text) {}

    std::optional<std::string_view> Next() {
        const std::size_t end = m_rest.find("\r\n");
        if (end == std::string_view::npos) {
            return std::nullopt;
        }
        const std::string_view line = m_rest.substr(0, end);
        m_rest.remove_prefix(end + 2);
        return line;
    }
    bool AtEnd() const { return m_rest.empty(); }

  private:
    std::string_view m_rest;
};

// The decimal number after "key=", when line is exactly that.
std::optional<std::uint64_t> Item(std::optional<std::string_view> line, std::string_view key) {
    if (!line || !line->starts_with(key) || line->size() <= key.size() ||
        (*line)[key.size()] != '=') {
        return std::nullopt;
    }
    const std::string_view digits = line->substr(key.size() + 1);
    std::uint64_t value = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (error != std::errc() || end != digits.data() + digits.size()) {
        return std::nullopt;
    }
    return value;
}

}  // namespace

std::string FormatCommitRecord(const CommitRecord& record) {
    std::string text(Title);
    text += "\r\nshards=" + std::to_string(record.ShardCount()) + "\r\n";
    text += "old=" + std::to_string(record.oldShardCount) + "\r\n";
    if (record.threadCount) {
        text += "threads=" + std::to_string(*record.threadCount) + "\r\n";
    }
    for (std::size_t n = 1; n <= record.counts.size(); ++n) {
        text += std::to_string(n) + "=" + std::to_string(record.counts[n - 1]) + "\r\n";
    }
    text += End;
    text += "\r\n";
    return text;
}

std::optional<CommitRecord> ParseCommitRecord(std::string_view text) {
    Lines lines(text);
    if (lines.Next() != Title) {
        return std::nullopt;
    }
    const auto shards = Item(lines.Next(), "shards");
    const auto old = Item(lines.Next(), "old");
    if (!shards || *shards < 1 || *shards > core::MaxThreadCount || !old ||
        *old > static_cast<std::uint64_t>(core::MaxThreadCount)) {
        return std::nullopt;
    }
    CommitRecord record;
    record.oldShardCount = static_cast<int>(*old);
    std::optional<std::string_view> line = lines.Next();
    if (const auto threads = Item(line, "threads")) {
        if (*threads != *shards) {
            return std::nullopt;
        }
        record.threadCount = static_cast<int>(*threads);
        line = lines.Next();
    }
    for (std::uint64_t n = 1; n <= *shards; ++n, line = lines.Next()) {
        const auto count = Item(line, std::to_string(n));
        if (!count) {
            return std::nullopt;
        }
        record.counts.push_back(*count);
    }
    if (line != End || !lines.AtEnd()) {
        return std::nullopt;
    }
    return record;
}

}  // namespace cj::index
