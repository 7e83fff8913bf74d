// The copy list model at 100,000 entries, on files that exist (warm cache):
// adding them as one batch (a size probe each), removing every other one,
// writing the backup and restoring it, and the model's memory per entry.
// The window's figures to meet: add under 1 s, remove under 0.5 s, backup
// write at most 0.1 s, restore at most 1 s, at most 1 KiB per entry with
// the view.
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "copylist/copy_list.h"

namespace {

namespace fs = std::filesystem;
using cj::copylist::CopyList;
using cj::search::ResultsArray;

constexpr std::size_t Entries = 100'000;
constexpr std::size_t FilesPerFolder = 1000;

// A tree of small files named like waybill scans, made once and removed at
// exit.
class Tree {
  public:
    Tree() {
        std::string pattern = (fs::temp_directory_path() / "cj-copy-bench-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) {
            std::perror("mkdtemp");
            std::abort();
        }
        root = pattern;
        fs::create_directories(root + "/data");
        paths.reserve(Entries);
        for (std::size_t i = 0; i < Entries; ++i) {
            const std::string folder = root + "/仓库/2026/" + std::to_string(i / FilesPerFolder);
            if (i % FilesPerFolder == 0) {
                fs::create_directories(folder);
            }
            char name[64];
            std::snprintf(name, sizeof name, "/SF14%011zu_扫描件.jpg", i);
            paths.push_back(folder + name);
            std::ofstream(paths.back(), std::ios::binary) << std::string(i % 4096, 'x');
        }
    }
    ~Tree() {
        std::error_code ignored;
        fs::remove_all(root, ignored);
    }
    std::string Backup() const { return root + "/data/Backup.txt"; }

    std::string root;
    std::vector<std::string> paths;
};

const Tree& TheTree() {
    static const Tree tree;
    return tree;
}

ResultsArray RowsOf(const std::vector<std::string>& paths) {
    cj::search::ShardHits hits;
    hits.paths.assign(paths.begin(), paths.end());
    hits.count = hits.paths.size();
    std::vector<cj::search::ShardHits> shards;
    shards.push_back(std::move(hits));
    return ResultsArray(std::move(shards));
}

std::vector<std::size_t> AllRows() {
    std::vector<std::size_t> rows(Entries);
    for (std::size_t i = 0; i < Entries; ++i) {
        rows[i] = i + 1;
    }
    return rows;
}

void FullList(CopyList& list) {
    ResultsArray rows = RowsOf(TheTree().paths);
    list.AddHits(rows, AllRows());
}

void BM_AddHitsInOneBatch(benchmark::State& state) {
    const Tree& tree = TheTree();
    const std::vector<std::size_t> all = AllRows();
    for (auto _ : state) {
        state.PauseTiming();
        ResultsArray rows = RowsOf(tree.paths);
        auto list = std::make_unique<CopyList>(tree.Backup(), nullptr);
        state.ResumeTiming();
        benchmark::DoNotOptimize(list->AddHits(rows, all));
        state.PauseTiming();
        list.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_AddHitsInOneBatch)->Unit(benchmark::kMillisecond)->Iterations(10);

void BM_RemoveEveryOther(benchmark::State& state) {
    std::vector<std::size_t> half;
    for (std::size_t row = 1; row <= Entries; row += 2) {
        half.push_back(row);
    }
    for (auto _ : state) {
        state.PauseTiming();
        auto list = std::make_unique<CopyList>(TheTree().Backup(), nullptr);
        FullList(*list);
        state.ResumeTiming();
        list->RemoveRows(half);
        state.PauseTiming();
        list.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_RemoveEveryOther)->Unit(benchmark::kMillisecond)->Iterations(10);

void BM_WriteBackup(benchmark::State& state) {
    CopyList list(TheTree().Backup(), nullptr);
    FullList(list);
    for (auto _ : state) {
        if (list.TryWriteBackup()) {
            state.SkipWithError("backup not written");
        }
    }
    state.counters["bytes"] = static_cast<double>(fs::file_size(TheTree().Backup()));
}
BENCHMARK(BM_WriteBackup)->Unit(benchmark::kMillisecond)->Iterations(10);

void BM_RestoreBackup(benchmark::State& state) {
    CopyList list(TheTree().Backup(), nullptr);
    FullList(list);
    if (list.TryWriteBackup()) {
        state.SkipWithError("backup not written");
        return;
    }
    for (auto _ : state) {
        if (list.RestoreBackup() || list.Count() != Entries) {
            state.SkipWithError("backup not restored");
        }
    }
}
BENCHMARK(BM_RestoreBackup)->Unit(benchmark::kMillisecond)->Iterations(10);

// Heap bytes the model holds per entry, as the allocator counts them (the
// vector's room and each path's own block), after a batch of 100,000.
void BM_ModelBytesPerEntry(benchmark::State& state) {
    const Tree& tree = TheTree();
    for (auto _ : state) {
        ResultsArray rows = RowsOf(tree.paths);
        const std::vector<std::size_t> all = AllRows();
        const std::size_t before = ::mallinfo2().uordblks;
        CopyList list(tree.Backup(), nullptr);
        list.AddHits(rows, all);
        const std::size_t after = ::mallinfo2().uordblks;
        state.counters["bytes_per_entry"] =
            static_cast<double>(after - before) / static_cast<double>(list.Count());
    }
}
BENCHMARK(BM_ModelBytesPerEntry)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
