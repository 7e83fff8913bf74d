#include "search/search_run.h"

#include <thread>

#include "index/index_commit.h"
#include "platform/file_size_reader.h"
#include "search/shard_scan.h"

namespace cj::search {
namespace {

class CountSink final : public HitSink {
  public:
    explicit CountSink(ShardHits& out) : m_out(out) {}
    bool OnHit(std::string_view /*record*/) override {
        ++m_out.count;
        return true;
    }

  private:
    ShardHits& m_out;
};

// Counts and hands each hit on at once.
class ForwardSink final : public HitSink {
  public:
    ForwardSink(ShardHits& out, HitSink& next) : m_out(out), m_next(next) {}
    bool OnHit(std::string_view record) override {
        ++m_out.count;
        return m_next.OnHit(record);
    }

  private:
    ShardHits& m_out;
    HitSink& m_next;
};

class PathSink final : public HitSink {
  public:
    explicit PathSink(ShardHits& out) : m_out(out) {}
    bool OnHit(std::string_view record) override {
        m_out.paths.push_back(record);
        ++m_out.count;
        return true;
    }

  private:
    ShardHits& m_out;
};

// The size lookup per hit can take long on a slow disk, so this sink tests
// the stop request before each hit as well.
class SizeSink final : public HitSink {
  public:
    SizeSink(ShardHits& out, const std::atomic<bool>& stop) : m_out(out), m_stop(stop) {}
    bool OnHit(std::string_view record) override {
        if (m_stop.load(std::memory_order_relaxed)) {
            return false;
        }
        std::uint64_t size = 0;
        const std::error_code error = m_sizes.RegularFileSize(record, size);
        m_out.paths.push_back(record);
        m_out.sizes.push_back(error ? std::nullopt : std::optional<std::uint64_t>(size));
        ++m_out.count;
        return true;
    }

  private:
    ShardHits& m_out;
    const std::atomic<bool>& m_stop;
    platform::FileSizeReader m_sizes;
};

void Scan(const SearchRequest& request, int n, const KeywordSet& keywords,
          const std::atomic<bool>& stop, ShardHits& out) {
    const std::string_view bytes = out.shard.Bytes();
    const std::uint64_t count = out.records;
    switch (request.detail) {
        case HitDetail::Count: {
            CountSink sink(out);
            ScanShard(bytes, count, keywords, stop, sink);
            break;
        }
        case HitDetail::Paths: {
            if (n == 1 && request.firstShardSink != nullptr) {
                ForwardSink sink(out, *request.firstShardSink);
                ScanShard(bytes, count, keywords, stop, sink);
            } else {
                PathSink sink(out);
                ScanShard(bytes, count, keywords, stop, sink);
            }
            break;
        }
        case HitDetail::Sizes: {
            SizeSink sink(out, stop);
            ScanShard(bytes, count, keywords, stop, sink);
            break;
        }
    }
}

void ScanOne(const SearchRequest& request, int n, const KeywordSet& keywords,
             const std::atomic<bool>& stop, ShardHits& out) {
    if (out.records == 0 || out.error) {
        return;  // A missing or unreadable shard has no hits.
    }
    try {
        Scan(request, n, keywords, stop, out);
    } catch (...) {
        // Out of memory part-way: keep the hits prepared so far. Nothing
        // leaves a worker thread.
    }
}

}  // namespace

std::vector<ShardHits> OpenShards(const SearchRequest& request) {
    // Mapping costs no reading, so the whole index is opened under the lock
    // in a moment and scanned after it.
    const index::IndexReadLock index(request.runDirectory, request.shardCount);
    if (!index.IsBuilt()) {
        return {};
    }
    std::vector<ShardHits> shards(index.Shards().size());
    for (std::size_t i = 0; i < shards.size(); ++i) {
        ShardHits& shard = shards[i];
        shard.path = index.Shards()[i].path;
        shard.records = index.Shards()[i].count;
        if (shard.records > 0) {
            shard.error = shard.shard.Open(shard.path);
        }
    }
    return shards;
}

void ScanShards(const SearchRequest& request, std::vector<ShardHits>& shards,
                const KeywordSet& keywords, const std::atomic<bool>& stop) {
    std::vector<std::thread> workers;
    workers.reserve(shards.size());
    std::size_t n = 0;
    try {
        for (; n < shards.size(); ++n) {
            workers.emplace_back(
                [&, n] { ScanOne(request, static_cast<int>(n + 1), keywords, stop, shards[n]); });
        }
    } catch (const std::system_error&) {
        // No thread for the remaining shards: scan them here, in order.
        for (; n < shards.size(); ++n) {
            ScanOne(request, static_cast<int>(n + 1), keywords, stop, shards[n]);
        }
    }
    for (std::thread& worker : workers) {
        worker.join();
    }
}

std::vector<ShardHits> SearchShards(const SearchRequest& request, const KeywordSet& keywords,
                                    const std::atomic<bool>& stop) {
    std::vector<ShardHits> shards = OpenShards(request);
    ScanShards(request, shards, keywords, stop);
    return shards;
}

}  // namespace cj::search
