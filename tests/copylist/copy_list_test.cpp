#include "copylist/copy_list.h"

#include <gtest/gtest.h>
#ifndef _WIN32
#include <unistd.h>
#endif
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "copylist/list_backup.h"
#include "shell/file_name.h"
#include "temp_dir.h"

namespace cj::copylist {
namespace {

namespace fs = std::filesystem;
using search::CopyMark;
using search::ResultsArray;

// Stands in for the window's list: keeps the rows it was told of, so that a
// test sees whether the window would show what the model holds, and logs
// every call.
class FakeView final : public CopyListView {
  public:
    explicit FakeView(std::string backupPath) : m_backupPath(std::move(backupPath)) {}

    void AppendRows(std::span<const CopyEntry> entries) override {
        calls.push_back("append " + std::to_string(entries.size()));
        for (const CopyEntry& entry : entries) {
            rows.push_back(entry.path);
        }
    }
    void RemoveRows(std::span<const std::size_t> numbers) override {
        calls.push_back("remove " + std::to_string(numbers.size()));
        removedRows.assign(numbers.begin(), numbers.end());
        // Back to front, so that the numbers still name the rows they named.
        for (auto it = numbers.rbegin(); it != numbers.rend(); ++it) {
            ASSERT_GE(*it, 1U);
            ASSERT_LE(*it, rows.size());
            rows.erase(rows.begin() + static_cast<std::ptrdiff_t>(*it - 1));
        }
    }
    void RemoveAllRows() override {
        calls.push_back("remove all");
        rows.clear();
    }
    void Redraw() override {
        calls.push_back("redraw");
        // What the backup held when the rows were drawn.
        backupAtRedraw = fs::exists(m_backupPath) ? "written" : "none";
    }

    std::vector<std::string> rows;
    std::vector<std::string> calls;
    std::vector<std::size_t> removedRows;
    std::string backupAtRedraw;

  private:
    std::string m_backupPath;
};

std::vector<std::string> PathsOf(const CopyList& list) {
    std::vector<std::string> paths;
    for (const CopyEntry& entry : list.Entries()) {
        paths.push_back(entry.path);
    }
    return paths;
}

// Search rows over given paths; the paths stay alive with the rows.
class Rows {
  public:
    explicit Rows(std::vector<std::string> paths) : m_paths(std::move(paths)) {
        search::ShardHits hits;
        for (const std::string& path : m_paths) {
            hits.paths.push_back(path);
        }
        hits.count = hits.paths.size();
        std::vector<search::ShardHits> shards;
        shards.push_back(std::move(hits));
        results = ResultsArray(std::move(shards));
    }
    ResultsArray results;

  private:
    std::vector<std::string> m_paths;
};

class CopyListTest : public ::testing::Test {
  protected:
    CopyListTest() { dir.MakeDirs("data"); }

    // A file of size bytes under files/.
    std::string File(const std::string& name, std::size_t size) const {
        dir.WriteFile("files/" + name, std::string(size, 'x'));
        return dir / ("files/" + name);
    }
    std::string BackupPath() const { return dir / "data/Backup.txt"; }
    bool BackupExists() const { return fs::exists(BackupPath()); }

    test::TempDir dir;
};

TEST_F(CopyListTest, AddingAHitMovesItsMarkAndAddsOnlyAPathNotInTheList) {
    Rows rows({File("a", 1), File("b", 2), File("c", 4)});
    ResultsArray& results = rows.results;
    results.SetMark(2, CopyMark::CopiedDirectly);
    FakeView view(BackupPath());
    CopyList list(BackupPath(), &view);

    EXPECT_TRUE(list.AddHit(results, 1));
    EXPECT_EQ(results.Mark(1), CopyMark::InCopyList);
    EXPECT_TRUE(list.AddHit(results, 2)) << "a file copied at once can still be collected";
    EXPECT_EQ(results.Mark(2), CopyMark::InCopyList);

    // Adding the same hit again only marks it.
    EXPECT_FALSE(list.AddHit(results, 1));
    EXPECT_EQ(results.Mark(1), CopyMark::AddedAgain);

    // Rows that are not there change nothing.
    EXPECT_FALSE(list.AddHit(results, 0));
    EXPECT_FALSE(list.AddHit(results, 4));

    EXPECT_EQ(PathsOf(list), (std::vector<std::string>{dir / "files/a", dir / "files/b"}));
    EXPECT_EQ(list.Count(), 2U);
    EXPECT_EQ(list.Bytes(), 3);
    EXPECT_EQ(view.rows, PathsOf(list));
    EXPECT_EQ(view.calls, (std::vector<std::string>{"append 1", "append 1"}));
    EXPECT_EQ(results.Mark(3), CopyMark::None);
}

TEST_F(CopyListTest, AnEntryIsOnePathHoweverItComesIn) {
    // The same file double-clicked in one search and added with "选中添加列表"
    // from another sat in the list twice: counted twice in the list's size,
    // and its second copy reported as not copied (the target existed).
    const std::string a = File("a", 100);
    const std::string b = File("b", 20);
    struct Case {
        const char* name;
        std::function<void(CopyList&)> fill;
    };
    const Case cases[] = {
        {"single additions from two searches",
         [&](CopyList& list) {
             Rows first({a, b});
             Rows second({b, a});
             list.AddHit(first.results, 1);
             list.AddHit(second.results, 2);
             list.AddHit(second.results, 1);
         }},
        {"a batch after a double-click",
         [&](CopyList& list) {
             Rows first({a});
             Rows second({a, b, a});
             list.AddHit(first.results, 1);
             EXPECT_EQ(list.AddHits(second.results, std::vector<std::size_t>{1, 2, 3}), 1U);
         }},
        {"appended paths",
         [&](CopyList& list) {
             for (const std::string& path : {a, a, b, a}) {
                 list.AppendEntry(path);
             }
         }},
        {"a backup that holds a path twice",
         [&](CopyList& list) {
             dir.WriteFile("data/Backup.txt", a + "*#*\\" + a + "*#*\\" + b + "*#*\\" + b);
             EXPECT_FALSE(list.RestoreBackup());
         }},
    };
    for (const Case& c : cases) {
        FakeView view(BackupPath());
        CopyList list(BackupPath(), &view);
        c.fill(list);
        EXPECT_EQ(PathsOf(list), (std::vector<std::string>{a, b})) << c.name;
        EXPECT_EQ(list.Bytes(), 120) << c.name;
        EXPECT_EQ(view.rows, PathsOf(list)) << c.name;
        EXPECT_TRUE(list.Contains(a) && list.Contains(b)) << c.name;
    }
}

TEST_F(CopyListTest, MarksSayWhetherARowsPathIsInTheList) {
    // A removed entry kept its hit's mark, so the file could not be added
    // again from that search; a new search showed files already in the list
    // as not taken.
    const std::string a = File("a", 1);
    const std::string b = File("b", 1);
    const std::string c = File("c", 1);
    CopyList list(BackupPath(), nullptr);
    list.AppendEntry(a);
    list.AppendEntry(b);
    Rows rows({a, b, c, a, b});
    ResultsArray& results = rows.results;
    results.SetMark(2, CopyMark::CopiedDirectly);
    results.SetMark(3, CopyMark::AddedAgain);
    list.MarkRows(results);
    EXPECT_EQ(results.Mark(1), CopyMark::InCopyList);
    EXPECT_EQ(results.Mark(2), CopyMark::CopiedDirectly) << "a copy is not undone";
    EXPECT_EQ(results.Mark(3), CopyMark::None);
    EXPECT_EQ(results.Mark(4), CopyMark::InCopyList);

    const std::size_t first[] = {1};
    list.RemoveRows(first);
    list.MarkRows(results);
    EXPECT_EQ(results.Mark(1), CopyMark::None);
    EXPECT_EQ(results.Mark(5), CopyMark::InCopyList);
    EXPECT_TRUE(list.AddHit(results, 4)) << "a removed file can be collected again";
    EXPECT_EQ(results.Mark(1), CopyMark::InCopyList) << "every row of the file shows it";

    list.Clear();
    list.MarkRows(results);
    EXPECT_EQ(results.Mark(1), CopyMark::None);
    EXPECT_EQ(results.Mark(5), CopyMark::None);
}

TEST_F(CopyListTest, OnlyAChangedListThatHoldsEntriesIsBackedUpAtTheEnd) {
    // The list lived only in memory: closing the window lost whatever had
    // been collected since the last backup.
    const std::string a = File("a", 1);
    const std::string b = File("b", 1);
    CopyList list(BackupPath(), nullptr);
    EXPECT_FALSE(list.TryBackUpChanges());
    EXPECT_FALSE(BackupExists()) << "nothing collected, nothing written";

    list.AppendEntry(a);
    EXPECT_FALSE(list.TryBackUpChanges());
    EXPECT_EQ(dir.ReadFile("data/Backup.txt"), a + "*#*\\");

    // Unchanged since: a backup written in between by someone else stays.
    dir.WriteFile("data/Backup.txt", "planted");
    EXPECT_FALSE(list.TryBackUpChanges());
    EXPECT_EQ(dir.ReadFile("data/Backup.txt"), "planted");
    list.AppendEntry(a);  // Already there: no change.
    EXPECT_FALSE(list.TryBackUpChanges());
    EXPECT_EQ(dir.ReadFile("data/Backup.txt"), "planted");

    // A restored list is the backup's; a cleared one does not replace it.
    dir.WriteFile("data/Backup.txt", b + "*#*\\");
    ASSERT_FALSE(list.RestoreBackup());
    EXPECT_FALSE(list.HasUnsavedChanges());
    list.Clear();
    EXPECT_TRUE(list.HasUnsavedChanges());
    EXPECT_FALSE(list.TryBackUpChanges());
    EXPECT_EQ(dir.ReadFile("data/Backup.txt"), b + "*#*\\");

    // A failed write leaves the change to be written by the next attempt.
    CopyList elsewhere(dir / "no-data/Backup.txt", nullptr);
    elsewhere.AppendEntry(a);
    EXPECT_EQ(elsewhere.TryBackUpChanges(), std::errc::no_such_file_or_directory);
    EXPECT_TRUE(elsewhere.HasUnsavedChanges());
}

TEST_F(CopyListTest, TheSixthSingleAdditionWritesTheBackupAfterDrawingTheRows) {
    std::vector<std::string> paths;
    for (int i = 0; i < 12; ++i) {
        paths.push_back(File(std::to_string(i), 1));
    }
    Rows rows(paths);
    FakeView view(BackupPath());
    CopyList list(BackupPath(), &view);
    for (std::size_t row = 1; row <= 5; ++row) {
        ASSERT_TRUE(list.AddHit(rows.results, row));
        EXPECT_EQ(list.AutoBackupCounter(), static_cast<int>(row));
    }
    EXPECT_FALSE(BackupExists()) << "not before the sixth";
    EXPECT_EQ(std::count(view.calls.begin(), view.calls.end(), "redraw"), 0);

    ASSERT_TRUE(list.AddHit(rows.results, 6));
    EXPECT_EQ(list.AutoBackupCounter(), 0);
    EXPECT_EQ(view.backupAtRedraw, "none") << "the rows are drawn before the file is written";
    EXPECT_EQ(view.calls.back(), "redraw");
    std::vector<std::string> backed;
    ASSERT_FALSE(TryReadBackupFile(BackupPath(), backed));
    EXPECT_EQ(backed, PathsOf(list));

    // AppendEntry counts as a single addition too; the twelfth overwrites.
    for (std::size_t row = 7; row <= 11; ++row) {
        list.AppendEntry(paths[row - 1]);
    }
    ASSERT_FALSE(TryReadBackupFile(BackupPath(), backed));
    EXPECT_EQ(backed.size(), 6U);
    list.AppendEntry(paths[11]);
    ASSERT_FALSE(TryReadBackupFile(BackupPath(), backed));
    EXPECT_EQ(backed, paths);
}

TEST_F(CopyListTest, ABatchIsOneAppendAndNeverWritesTheBackup) {
    std::vector<std::string> paths;
    for (int i = 0; i < 13; ++i) {
        paths.push_back(File(std::to_string(i), static_cast<std::size_t>(i)));
    }
    Rows rows(paths);
    FakeView view(BackupPath());
    CopyList list(BackupPath(), &view);
    for (std::size_t row = 1; row <= 3; ++row) {
        list.AddHit(rows.results, row);
    }
    view.calls.clear();

    std::vector<std::size_t> selected;
    for (std::size_t row = 3; row <= 13; ++row) {
        selected.push_back(row);  // Row 3 is already in the list.
    }
    EXPECT_EQ(list.AddHits(rows.results, selected), 10U);
    EXPECT_EQ(view.calls, (std::vector<std::string>{"append 10"}));
    EXPECT_FALSE(BackupExists());
    EXPECT_EQ(list.AutoBackupCounter(), 3) << "a batch leaves the counter as it was";
    EXPECT_EQ(rows.results.Mark(3), CopyMark::AddedAgain);
    EXPECT_EQ(list.Count(), 13U);
    EXPECT_EQ(list.Bytes(), 78);  // 0 + 1 + ... + 12
    EXPECT_EQ(view.rows, paths);

    // A batch of rows that are all taken tells the view nothing.
    view.calls.clear();
    EXPECT_EQ(list.AddHits(rows.results, selected), 0U);
    EXPECT_TRUE(view.calls.empty());
}

TEST_F(CopyListTest, ClearResetsTheBackupCounterAndRestoreKeepsIt) {
    std::vector<std::string> paths;
    for (int i = 0; i < 6; ++i) {
        paths.push_back(File(std::to_string(i), 3));
    }
    FakeView view(BackupPath());
    CopyList list(BackupPath(), &view);
    for (int i = 0; i < 4; ++i) {
        list.AppendEntry(paths[static_cast<std::size_t>(i)]);
    }
    list.Clear();
    EXPECT_EQ(list.AutoBackupCounter(), 0);
    EXPECT_EQ(list.Count(), 0U);
    EXPECT_EQ(list.Bytes(), 0);
    EXPECT_TRUE(view.rows.empty());

    // Four additions, a manual backup of them, and a restore: the counter
    // still holds four, so the second addition after the restore is the sixth
    // and writes the restored rows with the new ones.
    for (int i = 0; i < 4; ++i) {
        list.AppendEntry(paths[static_cast<std::size_t>(i)]);
    }
    ASSERT_FALSE(list.TryWriteBackup());
    ASSERT_FALSE(list.RestoreBackup());
    EXPECT_EQ(list.AutoBackupCounter(), 4);
    list.AppendEntry(paths[4]);
    std::vector<std::string> backed;
    ASSERT_FALSE(TryReadBackupFile(BackupPath(), backed));
    EXPECT_EQ(backed.size(), 4U);
    list.AppendEntry(paths[5]);
    ASSERT_FALSE(TryReadBackupFile(BackupPath(), backed));
    EXPECT_EQ(backed, paths);
}

TEST_F(CopyListTest, RestoringReplacesTheListInOneAppendAndMeasuresSizesNow) {
    const std::string a = File("a", 10);
    const std::string b = File("b", 20);
    FakeView view(BackupPath());
    CopyList list(BackupPath(), &view);
    list.AppendEntry(a);
    list.AppendEntry(b);
    ASSERT_FALSE(list.TryWriteBackup());
    File("b", 25);  // Grown since the backup.

    view.calls.clear();
    ASSERT_FALSE(list.RestoreBackup());
    ASSERT_FALSE(list.RestoreBackup()) << "restored twice: the list once";
    EXPECT_EQ(PathsOf(list), (std::vector<std::string>{a, b}));
    EXPECT_EQ(list.Bytes(), 35);
    EXPECT_EQ(view.rows, PathsOf(list));
    EXPECT_EQ(view.calls, (std::vector<std::string>{"remove all", "append 2", "redraw",
                                                    "remove all", "append 2", "redraw"}));
}

TEST_F(CopyListTest, OnlyAMissingBackupEmptiesTheListOnRestore) {
    FakeView view(BackupPath());
    CopyList list(BackupPath(), &view);
    list.AppendEntry(File("a", 7));
    EXPECT_EQ(list.RestoreBackup(), std::errc::no_such_file_or_directory);
    EXPECT_EQ(list.Count(), 0U);
    EXPECT_EQ(list.Bytes(), 0);
    EXPECT_TRUE(view.rows.empty());

    // A backup that is there but cannot be read used to empty the list too,
    // losing what was collected: now it leaves the list whole.
    list.AppendEntry(File("b", 5));
    fs::create_directory(BackupPath());
    EXPECT_TRUE(list.RestoreBackup());
    EXPECT_EQ(list.Count(), 1U);
    EXPECT_EQ(list.Bytes(), 5);
    fs::remove(BackupPath());
    list.Clear();

    // An empty backup restores an empty list.
    ASSERT_FALSE(list.TryWriteBackup());
    EXPECT_EQ(fs::file_size(BackupPath()), 0U);
    EXPECT_FALSE(list.RestoreBackup());
    EXPECT_EQ(list.Count(), 0U);
}

TEST_F(CopyListTest, RemovingSubtractsExactlyWhatEachEntryAdded) {
    const std::string a = File("a", 100);
    const std::string b = File("b", 200);
    const std::string c = File("c", 300);
    dir.MakeDirs("files/folder");
    FakeView view(BackupPath());
    CopyList list(BackupPath(), &view);
    const std::string d = File("d", 100);
    for (const std::string& path : {a, b, c, dir / "files/folder", dir / "files/missing", d}) {
        list.AppendEntry(path);
    }
    EXPECT_EQ(list.Bytes(), 100 + 200 + 300 + 0 - 1 + 100);

    // The files change after they were added: b grows, c goes. What leaves
    // the total is what went in, not a new measurement.
    File("b", 5000);
    ASSERT_TRUE(fs::remove(c));
    const std::size_t selected[] = {2, 3, 5, 9};  // 9 is past the end.
    view.calls.clear();
    list.RemoveRows(selected);
    EXPECT_EQ(PathsOf(list), (std::vector<std::string>{a, dir / "files/folder", d}));
    EXPECT_EQ(list.Count(), 3U);
    EXPECT_EQ(list.Bytes(), 200);
    EXPECT_EQ(view.calls, (std::vector<std::string>{"remove 3", "redraw"}));
    EXPECT_EQ(view.removedRows, (std::vector<std::size_t>{2, 3, 5}));
    EXPECT_EQ(view.rows, PathsOf(list));

    // Nothing to remove: the view is not told anything.
    view.calls.clear();
    const std::size_t none[] = {0, 4, 7};
    list.RemoveRows(none);
    list.RemoveRows({});
    EXPECT_TRUE(view.calls.empty());
    EXPECT_EQ(list.Count(), 3U);

    const std::size_t all[] = {1, 2, 3};
    list.RemoveRows(all);
    EXPECT_EQ(list.Count(), 0U);
    EXPECT_EQ(list.Bytes(), 0);
}

// The one-pass removal against removing one entry at a time, on a list that
// holds files of many sizes and gone files.
TEST_F(CopyListTest, RemovalMatchesRemovingOneByOne) {
    std::vector<std::string> files;
    for (std::size_t i = 0; i < 59; ++i) {
        files.push_back(File("f" + std::to_string(i), i * 37));
    }
    files.push_back(dir / "files/gone");
    std::mt19937 random(1234);
    for (int round = 0; round < 20; ++round) {
        // No data folder: the automatic backups, which sync the disk, fail
        // at once and do not slow the rounds down.
        CopyList list(dir / "no-data/Backup.txt", nullptr);
        std::vector<CopyEntry> naive;
        std::int64_t naiveBytes = 0;
        std::shuffle(files.begin(), files.end(), random);
        const std::size_t length = random() % files.size();
        for (std::size_t i = 0; i < length; ++i) {
            const std::string& path = files[i];
            list.AppendEntry(path);
            naive.push_back({path, CountedSize(path)});
            naiveBytes += naive.back().countedSize;
        }
        std::vector<std::size_t> selected;
        for (std::size_t row = 0; row <= length + 2; ++row) {
            if (random() % 3 == 0) {
                selected.push_back(row);
            }
        }
        for (auto it = selected.rbegin(); it != selected.rend(); ++it) {
            if (*it >= 1 && *it <= naive.size()) {
                naiveBytes -= naive[*it - 1].countedSize;
                naive.erase(naive.begin() + static_cast<std::ptrdiff_t>(*it - 1));
            }
        }
        list.RemoveRows(selected);
        ASSERT_EQ(list.Count(), naive.size()) << round;
        for (std::size_t i = 0; i < naive.size(); ++i) {
            ASSERT_EQ(list.Entries()[i].path, naive[i].path) << round << " " << i;
            ASSERT_EQ(list.Entries()[i].countedSize, naive[i].countedSize) << round << " " << i;
        }
        EXPECT_EQ(list.Bytes(), naiveBytes) << round;
    }
}

TEST_F(CopyListTest, CountedSizesFollowLinksAndMarkMissingFiles) {
    const std::string file = File("a", 1536);
    dir.MakeDirs("files/folder");
#ifndef _WIN32
    ASSERT_EQ(::symlink(file.c_str(), (dir / "files/link").c_str()), 0);
    ASSERT_EQ(::symlink((dir / "files/nowhere").c_str(), (dir / "files/dangling").c_str()), 0);
    EXPECT_EQ(CountedSize(dir / "files/link"), 1536);
    EXPECT_EQ(CountedSize(dir / "files/dangling"), -1);
#endif
    EXPECT_EQ(CountedSize(file), 1536);
    EXPECT_EQ(CountedSize(dir / "files/folder"), 0);
    EXPECT_EQ(CountedSize(dir / "files/missing"), -1);
    EXPECT_EQ(CountedSize(""), -1);

    // A file that has gone is still added; its size shows as "0".
    CopyList list(BackupPath(), nullptr);
    list.AppendEntry(dir / "files/missing");
    list.AppendEntry(file);
    EXPECT_EQ(list.Count(), 2U);
    EXPECT_EQ(list.Bytes(), 1535);
    EXPECT_EQ(EntrySizeText(list.Entries()[0]), "0");
    EXPECT_EQ(EntrySizeText(list.Entries()[1]), "1.50 KB");
    EXPECT_EQ(EntrySizeText({"/f", 0}), shell::SizeTextForBytes(0)) << "empty, not gone";
}

TEST_F(CopyListTest, SizesOfSeveralGigabytesDoNotWrap) {
    // Sparse files: their size is what counts, not their blocks.
    const std::string big = dir / "files/big";
    dir.WriteFile("files/big", "");
    ASSERT_TRUE(test::SetFileLength(big, 3ULL << 30));
    const std::string bigger = dir / "files/bigger";
    dir.WriteFile("files/bigger", "");
    ASSERT_TRUE(test::SetFileLength(bigger, (5ULL << 30) + 7));

    CopyList list(BackupPath(), nullptr);
    list.AppendEntry(big);
    list.AppendEntry(bigger);
    EXPECT_EQ(list.Bytes(), (8LL << 30) + 7);
    const std::size_t second[] = {2};
    list.RemoveRows(second);
    EXPECT_EQ(list.Bytes(), 3LL << 30);
}

TEST_F(CopyListTest, AnAutomaticBackupThatCannotBeWrittenLeavesTheListWhole) {
    const std::string missingData = dir / "no-data/Backup.txt";
    CopyList list(missingData, nullptr);
    for (int i = 0; i < 6; ++i) {
        list.AppendEntry(File("a" + std::to_string(i), 2));
    }
    EXPECT_EQ(list.Count(), 6U);
    EXPECT_EQ(list.Bytes(), 12);
    EXPECT_EQ(list.AutoBackupCounter(), 0);
    EXPECT_FALSE(fs::exists(dir / "no-data")) << "the data folder is never created";
}

}  // namespace
}  // namespace cj::copylist
