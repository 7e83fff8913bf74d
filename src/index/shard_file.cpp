#include "index/shard_file.h"

#include <algorithm>
#include <cstring>

#include "core/data_paths.h"
#include "platform/files.h"

namespace cj::index {
namespace {

bool IsLineEnd(char c) {
    return c == '\n' || c == '\x1A';
}

}  // namespace

ShardSet::ShardSet(int shardCount)
    : m_buffers(static_cast<std::size_t>(std::max(shardCount, 1))), m_counts(m_buffers.size(), 0) {}

int ShardSet::Add(std::string_view folderPrefix, std::string_view name) {
    const std::size_t at = m_next;
    std::string& buffer = m_buffers[at];
    buffer += folderPrefix;
    buffer += name;
    buffer += "\r\n";
    ++m_counts[at];
    m_next = at + 1 == m_buffers.size() ? 0 : at + 1;
    return static_cast<int>(at) + 1;
}

std::string_view ShardText(std::string_view fileBytes) {
    const void* nul = std::memchr(fileBytes.data(), '\0', fileBytes.size());
    if (nul == nullptr) {
        return fileBytes;
    }
    return fileBytes.substr(
        0, static_cast<std::size_t>(static_cast<const char*>(nul) - fileBytes.data()));
}

std::size_t LinesPrefixLength(std::string_view text, std::uint64_t count) {
    std::size_t pos = 0;
    for (std::uint64_t line = 0; line < count && pos < text.size(); ++line) {
        const auto end =
            std::find_if(text.begin() + static_cast<std::ptrdiff_t>(pos), text.end(), IsLineEnd);
        if (end == text.end()) {
            return text.size();
        }
        pos = static_cast<std::size_t>(end - text.begin()) + 1;
    }
    return pos;
}

void ForEachRecord(std::string_view text, std::uint64_t count,
                   const std::function<bool(std::string_view)>& onRecord) {
    std::size_t pos = 0;
    for (std::uint64_t line = 0; line < count && pos < text.size(); ++line) {
        const auto endIt =
            std::find_if(text.begin() + static_cast<std::ptrdiff_t>(pos), text.end(), IsLineEnd);
        const auto end = static_cast<std::size_t>(endIt - text.begin());
        std::string_view record = text.substr(pos, end - pos);
        if (endIt != text.end() && *endIt == '\n' && record.ends_with('\r')) {
            record.remove_suffix(1);
        }
        pos = end + 1;
        if (!record.empty() && !onRecord(record)) {
            return;
        }
    }
}

std::vector<std::string> ReadShardRecords(std::string_view runDirectory, int n,
                                          const core::SettingsFile& settings) {
    // A missing or unreadable file reads as empty (ReadWholeFile leaves bytes
    // empty on failure).
    std::string bytes;
    static_cast<void>(platform::ReadWholeFile(core::ShardPath(runDirectory, n), bytes));
    const std::uint64_t count = settings.ReadShardCount(n);
    std::vector<std::string> records;
    ForEachRecord(ShardText(bytes), count, [&](std::string_view record) {
        records.emplace_back(record);
        return true;
    });
    return records;
}

}  // namespace cj::index
