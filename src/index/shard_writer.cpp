#include "index/shard_writer.h"

#include "core/data_paths.h"
#include "core/event_log.h"

namespace cj::index {
namespace {

// A shard's bytes are written out once this many have gathered. Small enough
// that the buffers stay in the processor's cache between the records' copy
// and the write's; large enough that the write calls cost little. (Holding
// whole shards instead cost a page fault per 4 KiB of index, and a copy of
// every buffer at each doubling: about a fifth of the refresh of the 300k
// tree.)
constexpr std::size_t PieceBytes = std::size_t{256} * 1024;

}  // namespace

ShardWriter::ShardWriter(std::string_view runDirectory, int shardCount)
    : m_runDirectory(runDirectory), m_set(shardCount) {
    m_files.resize(static_cast<std::size_t>(m_set.ShardCount()));
}

ShardWriter::~ShardWriter() {
    if (!m_finished) {
        Discard();
    }
}

void ShardWriter::Add(std::string_view folderPrefix, std::string_view name) {
    const int n = m_set.Add(folderPrefix, name);
    if (m_set.Buffer(n).size() >= PieceBytes) {
        Spill(n);
    }
}

bool ShardWriter::TryCreateFiles() {
    while (m_attempted < ShardCount()) {
        const int n = ++m_attempted;
        std::string path = core::NewShardPath(m_runDirectory, n);
        if (const std::error_code ec = m_files[static_cast<std::size_t>(n - 1)].TryCreate(path);
            ec) {
            m_failure = ShardFailure{n, std::move(path), ec};
            return false;
        }
    }
    return true;
}

void ShardWriter::Spill(int n) {
    if (!m_failure && TryCreateFiles()) {
        if (const std::error_code ec =
                m_files[static_cast<std::size_t>(n - 1)].TryAppend(m_set.Buffer(n));
            ec) {
            m_failure = ShardFailure{n, core::NewShardPath(m_runDirectory, n), ec};
        }
    }
    // After a failure the bytes are dropped: the commit will not happen, and
    // the counts, which the walk's report needs, are kept apart.
    m_set.ClearBuffer(n);
}

std::vector<ShardFailure> ShardWriter::TryFinish() {
    for (int n = 1; n <= ShardCount(); ++n) {
        Spill(n);
    }
    // The last pieces of all shards go to the disk together; each fsync then
    // waits for its own.
    for (platform::SyncedFileWriter& file : m_files) {
        file.StartFlush();
    }
    for (int n = 1; n <= ShardCount() && !m_failure; ++n) {
        if (const std::error_code ec = m_files[static_cast<std::size_t>(n - 1)].TrySyncAndClose();
            ec) {
            m_failure = ShardFailure{n, core::NewShardPath(m_runDirectory, n), ec};
        }
    }
    if (m_failure) {
        Discard();
        return {*m_failure};
    }
    m_finished = true;
    return {};
}

void ShardWriter::Discard() {
    for (int n = 1; n <= m_attempted; ++n) {
        m_files[static_cast<std::size_t>(n - 1)].Close();
        const std::string path = core::NewShardPath(m_runDirectory, n);
        if (const std::error_code ec = platform::RemoveFile(path);
            ec && ec != std::errc::no_such_file_or_directory) {
            // A stray new shard is never read: the next refresh removes it.
            core::LogFailure("删除未提交的索引分片失败 " + path, ec);
        }
    }
    m_attempted = 0;
}

}  // namespace cj::index
