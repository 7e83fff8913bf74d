// Runs the built chengjing-cli on folders made in a temporary directory.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <sstream>

#include "core/data_lock.h"
#include "core/data_paths.h"
#include "core/settings_file.h"
#include "core/text_rules.h"
#include "core/version.h"
#include "temp_dir.h"

namespace cj::cli {
namespace {

struct RunResult {
    int exitCode = -1;
    std::string out;
    std::string err;
};

std::string Quote(std::string_view arg) {
    std::string quoted = "'";
    for (const char c : arg) {
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return quoted + "'";
}

class CliTest : public ::testing::Test {
  protected:
    CliTest() {
        m_dir.MakeDirs("run/data");
        m_dir.WriteFile("tree/SF1400000000001.jpg", std::string(532, 'x'));
        m_dir.WriteFile("tree/JD0012345678901.pdf", "");
        m_dir.WriteFile("tree/.hidden-SF2.jpg", "");
        m_dir.WriteFile("tree/顺丰/SF3.tar.gz", "");
        m_dir.WriteFile("tree/.git/SF4.jpg", "");
    }

    // stdoutTo, when given, takes the output instead of the pipe. asNobody
    // runs the command line as user "nobody" when the tests run as root, for
    // whom no permission stands in the way.
    // limits, when given, are shell commands run first (ulimit).
    RunResult Run(const std::vector<std::string>& args, std::string_view stdoutTo = {},
                  bool asNobody = false, std::string_view limits = {}) const {
        std::string command = Quote(CJ_CLI_PATH);
        if (asNobody && ::geteuid() == 0) {
            command = "setpriv --reuid=65534 --regid=65534 --clear-groups " + command;
        }
        command = std::string(limits) + command;
        for (const std::string& arg : args) {
            command += " " + Quote(arg);
        }
        if (!stdoutTo.empty()) {
            command += " >" + Quote(stdoutTo);
        }
        // The copy reads its paths from standard input, which is never the
        // runner's own.
        m_dir.WriteFile("stdin.txt", m_input);
        command += " <" + Quote(m_dir / "stdin.txt");
        command += " 2>" + Quote(m_dir / "stderr.txt");
        RunResult result;
        FILE* pipe = ::popen(command.c_str(), "r");
        if (pipe == nullptr) {
            return result;
        }
        char buffer[4096];
        std::size_t n = 0;
        while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) {
            result.out.append(buffer, n);
        }
        const int status = ::pclose(pipe);
        result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        result.err = m_dir.ReadFile("stderr.txt");
        return result;
    }

    static std::vector<std::string> Lines(const std::string& text) {
        std::vector<std::string> lines;
        std::istringstream in(text);
        for (std::string line; std::getline(in, line);) {
            lines.push_back(line);
        }
        return lines;
    }
    static std::vector<std::string> Sorted(std::vector<std::string> v) {
        std::sort(v.begin(), v.end());
        return v;
    }

    std::string RunDir() const { return m_dir / "run"; }
    core::SettingsFile Config() const { return core::SettingsFile::InRunDirectory(RunDir()); }
    std::string Refused(std::string_view action, std::string_view path,
                        std::string_view reason) const {
        return "chengjing-cli: cannot " + std::string(action) + " " + std::string(path) + ": " +
               std::string(reason) + "\n";
    }

    test::TempDir m_dir;
    std::string m_input;  // Standard input of the next Run.
};

TEST_F(CliTest, RefreshesAFolderAndSearchesIt) {
    const RunResult refresh = Run({"--run-dir", RunDir(), "refresh", "--folder", m_dir / "tree"});
    ASSERT_EQ(refresh.exitCode, 0) << refresh.err;
    EXPECT_EQ(refresh.err, "");

    const RunResult search = Run({"search", "SF", "--run-dir", RunDir()});
    ASSERT_EQ(search.exitCode, 0) << search.err;
    EXPECT_EQ(Sorted(Lines(search.out)),
              Sorted({m_dir / "tree/.hidden-SF2.jpg", m_dir / "tree/SF1400000000001.jpg",
                      m_dir / "tree/顺丰/SF3.tar.gz"}));

    const RunResult two = Run({"--run-dir", RunDir(), "search", "SF", "14"});
    EXPECT_EQ(Lines(two.out), std::vector<std::string>{m_dir / "tree/SF1400000000001.jpg"});

    const RunResult count = Run({"--run-dir=" + RunDir(), "--count", "search", "S"});
    EXPECT_EQ(count.out, "3\n");

    const RunResult all = Run({"--run-dir", RunDir(), "search"});
    EXPECT_EQ(Lines(all.out).size(), 4U);
}

TEST_F(CliTest, RowOrderIsShardOrder) {
    ASSERT_EQ(Run({"--run-dir", RunDir(), "--threads", "3", "refresh", "--folder", m_dir / "tree"})
                  .exitCode,
              0);
    EXPECT_EQ(Config().ReadThreadCount().text, "3");  // Stored, so that searches read 3 shards.
    std::vector<std::string> expected;
    for (int n = 1; n <= 3; ++n) {
        for (const std::string& line :
             Lines(m_dir.ReadFile("run/data/" + std::to_string(n) + ".txt"))) {
            expected.push_back(line.substr(0, line.size() - 1));  // Without the CR.
        }
    }
    EXPECT_EQ(Lines(Run({"--run-dir", RunDir(), "search"}).out), expected);
}

TEST_F(CliTest, LongOutputHasTheThreeLinesOfEachHit) {
    ASSERT_EQ(Run({"--run-dir", RunDir(), "refresh", "--folder", m_dir / "tree"}).exitCode, 0);
    EXPECT_EQ(Run({"--run-dir", RunDir(), "search", "--long", "SF14"}).out,
              "SF1400000000001\n文件类型：jpg   文件大小：532 B\n" +
                  (m_dir / "tree/SF1400000000001.jpg") + "\n");
    EXPECT_EQ(Run({"--run-dir", RunDir(), "search", "--long", "SF3"}).out,
              "SF3.tar\n文件类型：gz   文件大小：0 B\n" + (m_dir / "tree/顺丰/SF3.tar.gz") + "\n");
}

TEST_F(CliTest, RefreshTakesTheFirstListOrTheNamedOneWithItsFilter) {
    m_dir.WriteFile("other/SF9.mp3", "");
    ASSERT_EQ(Config().TrySaveDirectoryList({"first", {m_dir / "tree"}, "", true}),
              std::error_code());
    ASSERT_EQ(
        Config().TrySaveDirectoryList({"music", {m_dir / "other", m_dir / "tree"}, "mp3|gz", true}),
        std::error_code());
    ASSERT_EQ(Run({"--run-dir", RunDir(), "refresh"}).exitCode, 0);
    EXPECT_EQ(Run({"--run-dir", RunDir(), "--count", "search"}).out, "4\n");
    ASSERT_EQ(Run({"--run-dir", RunDir(), "refresh", "--list", "music"}).exitCode, 0);
    EXPECT_EQ(Sorted(Lines(Run({"--run-dir", RunDir(), "search"}).out)),
              Sorted({m_dir / "other/SF9.mp3", m_dir / "tree/顺丰/SF3.tar.gz"}));
    ASSERT_EQ(
        Run({"--run-dir", RunDir(), "refresh", "--list", "music", "--filter", "pdf"}).exitCode, 0);
    EXPECT_EQ(Lines(Run({"--run-dir", RunDir(), "search"}).out),
              std::vector<std::string>{m_dir / "tree/JD0012345678901.pdf"});
}

TEST_F(CliTest, MistakesGiveOneLineOnStderrAndAFailingExit) {
    struct Case {
        std::vector<std::string> args;
        int exitCode;
    };
    const std::string run = RunDir();
    const std::vector<Case> cases = {
        {{}, 2},
        {{"--run-dir", run, "find", "x"}, 2},
        {{"--run-dir", run, "search", "--bogus"}, 2},
        {{"--run-dir", run, "search", "--long", "--count", "x"}, 2},
        {{"--run-dir", run, "refresh", "--threads", "13"}, 2},
        {{"--run-dir", run, "refresh", "--threads", "two"}, 2},
        {{"--run-dir", run, "refresh", "--folder"}, 2},
        {{"--run-dir", run, "refresh", "extra"}, 2},
        {{"--run-dir", run, "search", "--folder", "/x", "w"}, 2},
        {{"--run-dir", m_dir / "nowhere", "search", "x"}, 1},  // No data folder.
        {{"--run-dir", run, "refresh"}, 1},                    // No list, no --folder.
        {{"--run-dir", run, "refresh", "--list", "missing"}, 1},
    };
    for (const Case& c : cases) {
        const RunResult result = Run(c.args);
        EXPECT_EQ(result.exitCode, c.exitCode) << ::testing::PrintToString(c.args);
        EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1) << result.err;
        EXPECT_TRUE(result.err.starts_with("chengjing-cli: ")) << result.err;
        EXPECT_EQ(result.out, "");
    }
}

TEST_F(CliTest, UnreadableConfigurationIsAnError) {
    m_dir.MakeDirs("run/data/chengjing.ini");  // A folder where the file should be.
    for (const char* command : {"search", "refresh"}) {
        const RunResult result = Run({"--run-dir", RunDir(), command});
        EXPECT_EQ(result.exitCode, 1);
        EXPECT_EQ(result.err, Refused("read", RunDir() + "/data/chengjing.ini", "Is a directory"));
    }
}

TEST_F(CliTest, MissingDataFolderIsNamedWithTheReason) {
    const std::string run = m_dir / "nowhere";
    for (const char* command : {"search", "refresh"}) {
        const RunResult result = Run({"--run-dir", run, command});
        EXPECT_EQ(result.exitCode, 1);
        EXPECT_EQ(result.err,
                  Refused("use the data folder", run + "/data", "No such file or directory"));
    }
    m_dir.WriteFile("file/data", "");
    EXPECT_EQ(Run({"--run-dir", m_dir / "file", "search"}).err,
              Refused("use the data folder", m_dir / "file/data", "Not a directory"));
}

// A refresh used to report success whatever the shards' fate; every shard
// that could not be written now fails the command with its path and reason.
TEST_F(CliTest, ShardThatCannotBeWrittenFailsTheRefresh) {
    ASSERT_EQ(Config().TrySaveThreadCount("2"), std::error_code());
    m_dir.WriteFile("run/data/2.txt/keep", "x");  // A folder squats shard 2's name.
    const RunResult result = Run({"--run-dir", RunDir(), "refresh", "--folder", m_dir / "tree"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err, Refused("write", RunDir() + "/data/2.txt", "Is a directory"));
    EXPECT_EQ(result.out, "");
}

// A listed folder that was unplugged used to refresh to "0 files indexed" and
// exit 0 (the refresh's own tests hold that the index stays).
TEST_F(CliTest, MissingListedFolderFailsTheRefresh) {
    const RunResult result =
        Run({"--run-dir", RunDir(), "refresh", "--folder", m_dir / "unplugged"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.err.find("cannot open the listed folder " + (m_dir / "unplugged")),
              std::string::npos)
        << result.err;
}

TEST_F(CliTest, RefreshCountsWhatItLeftOutAndListsItOnRequest) {
    m_dir.WriteFile("odd/line\nbreak.jpg", "");
    m_dir.WriteFile("odd/fine.jpg", "");
    const RunResult quiet = Run({"--run-dir", RunDir(), "refresh", "--folder", m_dir / "odd"});
    EXPECT_EQ(quiet.exitCode, 0) << "the index was written";
    EXPECT_EQ(quiet.out,
              "1 files indexed in " + std::to_string(core::DefaultThreadCount()) + " shards\n");
    EXPECT_NE(quiet.err.find("1 names the index cannot hold (--verbose lists them)"),
              std::string::npos)
        << quiet.err;
    const RunResult listed =
        Run({"--run-dir", RunDir(), "refresh", "-v", "--folder", m_dir / "odd"});
    EXPECT_NE(listed.err.find("left out: " + (m_dir / "odd/line\\nbreak.jpg") + "\n"),
              std::string::npos)
        << "one line per path, the line break escaped: " << listed.err;
}

TEST_F(CliTest, AFilterThatMatchesNothingSaysSo) {
    const RunResult result =
        Run({"--run-dir", RunDir(), "refresh", "--folder", m_dir / "tree", "--filter", "*.xyz"});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_NE(result.err.find("the type filter \"*.xyz\" matched none of the"), std::string::npos)
        << result.err;
}

TEST_F(CliTest, RefreshIsRefusedWhileAnotherProgramRefreshesButSearchesRun) {
    ASSERT_EQ(Run({"--run-dir", RunDir(), "refresh", "--folder", m_dir / "tree"}).exitCode, 0);
    platform::FileLock other;  // Another program's refresh.
    ASSERT_EQ(core::TryLockData(RunDir() + "/data", core::DataLock::Refresh,
                                platform::LockMode::Exclusive, platform::LockWait::No, other),
              std::error_code());
    const RunResult refused =
        Run({"--run-dir", RunDir(), "--threads", "3", "refresh", "--folder", m_dir / "tree"});
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_EQ(refused.err, "chengjing-cli: the refresh did not start: another refresh of " +
                               RunDir() + "/data runs\n");
    EXPECT_EQ(Run({"--run-dir", RunDir(), "--count", "search", "SF"}).out, "3\n");
}

TEST_F(CliTest, ReadOnlyDataFolderFailsEveryWrite) {
    // The command runs as "nobody", who may read the tree but not write data/.
    for (const char* folder : {"", "run", "tree", "tree/顺丰"}) {
        ASSERT_EQ(::chmod((m_dir / folder).c_str(), 0755), 0) << folder;
    }
    ASSERT_EQ(Config().TrySaveThreadCount("1"), std::error_code());
    const std::string data = RunDir() + "/data";
    ASSERT_EQ(::chmod(data.c_str(), 0555), 0);
    ASSERT_EQ(::chmod((data + "/chengjing.ini").c_str(), 0644), 0);

    // The lock file is root's: nobody may not take the refresh's lock.
    for (const char* threads : {"3", "1"}) {
        const RunResult result = Run(
            {"--run-dir", RunDir(), "--threads", threads, "refresh", "--folder", m_dir / "tree"},
            {}, true);
        EXPECT_EQ(result.exitCode, 1);
        EXPECT_EQ(result.err, Refused("write", data + "/.chengjing.lock", "Permission denied"));
        EXPECT_EQ(result.out, "");
        EXPECT_EQ(Config().ReadThreadCount().text, "1");
    }
    // Without a lock file nobody cannot make one either.
    ASSERT_EQ(::chmod(data.c_str(), 0755), 0);
    std::filesystem::remove(data + "/.chengjing.lock");
    ASSERT_EQ(::chmod(data.c_str(), 0555), 0);
    const RunResult result =
        Run({"--run-dir", RunDir(), "refresh", "--folder", m_dir / "tree"}, {}, true);
    EXPECT_EQ(result.err, Refused("write", data + "/.chengjing.lock", "Permission denied"));
    // A search reads without the lock: what stops it is that nothing was ever indexed.
    EXPECT_EQ(
        Run({"--run-dir", RunDir(), "search", "SF"}, {}, true).err,
        "chengjing-cli: no index in " + data +
            ": run \"chengjing-cli refresh --folder DIR\" or refresh the index in the window\n");
}

TEST_F(CliTest, SearchOfUnreadableShardFails) {
    ASSERT_EQ(Run({"--run-dir", RunDir(), "--threads", "1", "refresh", "--folder", m_dir / "tree"})
                  .exitCode,
              0);
    std::filesystem::remove(RunDir() + "/data/1.txt");
    m_dir.MakeDirs("run/data/1.txt");
    const RunResult result = Run({"--run-dir", RunDir(), "search", "SF"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err, Refused("read", RunDir() + "/data/1.txt", "Is a directory"));
    EXPECT_EQ(result.out, "");

    std::filesystem::remove(RunDir() + "/data/1.txt");
    EXPECT_EQ(Run({"--run-dir", RunDir(), "search", "SF"}).err,
              Refused("read", RunDir() + "/data/1.txt", "No such file or directory"))
        << "a shard with records must be there";
}

TEST_F(CliTest, OutputThatCannotBeWrittenIsAFailure) {
    ASSERT_EQ(Run({"--run-dir", RunDir(), "refresh", "--folder", m_dir / "tree"}).exitCode, 0);
    const std::string noSpace = "chengjing-cli: cannot write the output: No space left on device\n";
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"--help"},
          {"--run-dir", RunDir(), "search", "SF"},
          {"--run-dir", RunDir(), "--count", "search", "SF"},
          {"--run-dir", RunDir(), "refresh", "--folder", m_dir / "tree"}}) {
        const RunResult result = Run(args, "/dev/full");
        EXPECT_EQ(result.exitCode, 1) << ::testing::PrintToString(args);
        EXPECT_EQ(result.err, noSpace) << ::testing::PrintToString(args);
    }
}

TEST_F(CliTest, HelpSaysHowToUseIt) {
    const RunResult help = Run({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.out.starts_with("Usage: chengjing-cli")) << help.out;
    EXPECT_NE(help.out.find("--run-dir"), std::string::npos);
}

TEST_F(CliTest, VersionIsTheProjects) {
    const RunResult version = Run({"--version"});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.out, std::string("chengjing-cli ") + Version + "\n");
}

TEST_F(CliTest, WordsAfterDoubleDashMayLookLikeOptions) {
    m_dir.WriteFile("dash/-x-SF.jpg", "");
    ASSERT_EQ(Run({"--run-dir", RunDir(), "refresh", "--folder", m_dir / "dash"}).exitCode, 0);
    EXPECT_EQ(Lines(Run({"--run-dir", RunDir(), "search", "--", "-x-"}).out),
              std::vector<std::string>{m_dir / "dash/-x-SF.jpg"});
}

// -- copy

TEST_F(CliTest, CopiesThePathsOfStandardInputIntoANewFolder) {
    const std::string jpg = m_dir / "tree/SF1400000000001.jpg";
    const std::string gz = m_dir / "tree/顺丰/SF3.tar.gz";
    m_input = jpg + "\r\n\n" + gz + "\n";
    const RunResult result = Run({"copy", "--to", m_dir / "out"});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(result.out, "copied 2, skipped 0 (target exists), failed 0\n");
    EXPECT_EQ(m_dir.ReadFile("out/SF1400000000001.jpg"), std::string(532, 'x'));
    EXPECT_TRUE(std::filesystem::exists(m_dir / "out/SF3.tar.gz"));
}

TEST_F(CliTest, CopyNamesEveryFileItSkippedOrCouldNotCopy) {
    m_dir.WriteFile("out/SF1400000000001.jpg", "the user's own");
    const std::string skipped = m_dir / "tree/SF1400000000001.jpg";
    const std::string missing = m_dir / "tree/gone.jpg";
    m_input = skipped + "\n" + missing + "\n" + m_dir / "tree/JD0012345678901.pdf" + "\n";
    const RunResult result = Run({"--to=" + m_dir / "out", "copy", "--run-dir", RunDir()});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err, "chengjing-cli: skipped " + skipped + ": " +
                              m_dir / "out/SF1400000000001.jpg" + " exists\n" +
                              Refused("copy", missing, "No such file or directory"));
    EXPECT_EQ(result.out, "copied 1, skipped 1 (target exists), failed 1\n");
    EXPECT_EQ(m_dir.ReadFile("out/SF1400000000001.jpg"), "the user's own");
    // The window's report, word for word: a clerk opens the same file.
    EXPECT_EQ(m_dir.ReadFile("run/data/CopyReport.txt"),
              "复制完成：已复制 1 个，已存在跳过 1 个，失败 1 个\n" + skipped + " -> " +
                  m_dir / "out/SF1400000000001.jpg：已存在，未覆盖\n" + missing + " -> " +
                  m_dir / "out/gone.jpg：找不到文件或目标文件夹\n");

    // Skipping a file that is already there is no failure.
    m_input = skipped + "\n";
    const RunResult again = Run({"copy", "--to", m_dir / "out"});
    EXPECT_EQ(again.exitCode, 0);
    EXPECT_EQ(again.out, "copied 0, skipped 1 (target exists), failed 0\n");

    // --keep-both copies it beside the user's own, under the next number.
    const RunResult both = Run({"copy", "--keep-both", "--to", m_dir / "out"});
    EXPECT_EQ(both.exitCode, 0) << both.err;
    EXPECT_EQ(both.out, "copied 1, skipped 0 (target exists), failed 0, renamed 1\n");
    EXPECT_EQ(m_dir.ReadFile("out/SF1400000000001 (2).jpg"), std::string(532, 'x'));
    EXPECT_EQ(m_dir.ReadFile("out/SF1400000000001.jpg"), "the user's own");
}

TEST_F(CliTest, CopyOntoAFullDiskLeavesNoPartialFile) {
    m_dir.WriteFile("big.bin", std::string(300000, 'b'));
    m_input = m_dir / "big.bin\n" + m_dir / "tree/JD0012345678901.pdf" + "\n";
    const RunResult result =
        Run({"copy", "--to", m_dir / "out"}, {}, false, "trap '' XFSZ; ulimit -f 100; ");
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err, Refused("copy", m_dir / "big.bin", "File too large"));
    EXPECT_FALSE(std::filesystem::exists(m_dir / "out/big.bin"));
    EXPECT_TRUE(std::filesystem::exists(m_dir / "out/JD0012345678901.pdf"));
}

// A list saved by Notepad began with a byte order mark, so its first file was
// "not found"; a NUL byte cut the source short while the target's name was
// taken from after it. The mark is dropped; a line that is no path (a NUL, or
// past the longest path) is refused with its number and the rest are copied.
TEST_F(CliTest, CopyInputDropsItsByteOrderMarkAndRefusesLinesThatAreNoPaths) {
    const std::string jpg = m_dir / "tree/SF1400000000001.jpg";
    const std::string pdf = m_dir / "tree/JD0012345678901.pdf";
    m_input = "\xEF\xBB\xBF" + jpg + "\r\n" + pdf + std::string(1, '\0') + "/x/evil.jpg\n" +
              std::string(70000, 'a') + "\n\n" + m_dir / "tree/顺丰/SF3.tar.gz\n";
    const RunResult result = Run({"copy", "--to", m_dir / "out"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err, "chengjing-cli: line 2 refused (it holds a NUL byte): " + pdf +
                              "\\x00/x/evil.jpg\nchengjing-cli: line 3 refused (longer than "
                              "65536 bytes): " +
                              std::string(200, 'a') + "...\n");
    EXPECT_EQ(result.out, "copied 2, skipped 0 (target exists), failed 2\n");
    std::vector<std::string> copied;
    for (const auto& entry : std::filesystem::directory_iterator(m_dir / "out")) {
        copied.push_back(entry.path().filename().string());
    }
    EXPECT_EQ(Sorted(copied), (std::vector<std::string>{"SF1400000000001.jpg", "SF3.tar.gz"}));
}

TEST_F(CliTest, CopiesThePathsOfTheCopyListsBackup) {
    const std::string jpg = m_dir / "tree/SF1400000000001.jpg";
    const std::string pdf = m_dir / "tree/JD0012345678901.pdf";
    m_dir.WriteFile("run/data/Backup.txt", jpg + "*#*\\" + pdf + "*#*\\");
    m_input = m_dir / "tree/顺丰/SF3.tar.gz";  // Not read.
    const RunResult result =
        Run({"--run-dir", RunDir(), "copy", "--backup", "--to", m_dir / "out"});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out, "copied 2, skipped 0 (target exists), failed 0\n");
    EXPECT_TRUE(std::filesystem::exists(m_dir / "out/SF1400000000001.jpg"));
    EXPECT_TRUE(std::filesystem::exists(m_dir / "out/JD0012345678901.pdf"));
    EXPECT_FALSE(std::filesystem::exists(m_dir / "out/SF3.tar.gz"));

    std::filesystem::remove(RunDir() + "/data/Backup.txt");
    const RunResult missing =
        Run({"--run-dir", RunDir(), "copy", "--backup", "--to", m_dir / "out2"});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_EQ(missing.err,
              Refused("read", RunDir() + "/data/Backup.txt", "No such file or directory"));
    EXPECT_EQ(missing.out, "");
}

TEST_F(CliTest, CopyCommandLineMistakes) {
    for (const std::vector<std::string>& args : {std::vector<std::string>{"copy"},
                                                 {"copy", "--to", ""},
                                                 {"copy", "--to", "/tmp", "a.jpg"},
                                                 {"copy", "--to", "/tmp", "--long"},
                                                 {"search", "--to", "/tmp", "SF"},
                                                 {"search", "--backup", "SF"},
                                                 {"search", "--keep-both", "SF"}}) {
        const RunResult result = Run(args);
        EXPECT_EQ(result.exitCode, 2) << ::testing::PrintToString(args);
        EXPECT_TRUE(result.err.starts_with("chengjing-cli: ")) << result.err;
    }
}

TEST_F(CliTest, BatchPrintsEveryNumberWithItsFilesInListOrder) {
    ASSERT_EQ(Run({"--run-dir", RunDir(), "refresh", "--folder", m_dir / "tree"}).exitCode, 0);
    m_dir.WriteFile("tree/SF3_JD0012345678901.jpg", "");
    ASSERT_EQ(Run({"--run-dir", RunDir(), "refresh", "--folder", m_dir / "tree"}).exitCode, 0);
    const std::string tree = m_dir / "tree";
    // A file with two numbers is listed under both; the folder .git is not
    // indexed and 顺丰 is a folder, no file name.
    m_input = "JD0012345678901，SF3\r\nZZ9999999999999 SF3;顺丰\n";
    const RunResult result = Run({"--run-dir", RunDir(), "search", "--batch", "-"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const std::vector<std::string> lines = Lines(result.out);
    ASSERT_EQ(lines.size(), 6U) << result.out;
    EXPECT_EQ(Sorted({lines[0], lines[1]}),
              Sorted({"JD0012345678901\t" + tree + "/JD0012345678901.pdf",
                      "JD0012345678901\t" + tree + "/SF3_JD0012345678901.jpg"}));
    EXPECT_EQ(Sorted({lines[2], lines[3]}), Sorted({"SF3\t" + tree + "/顺丰/SF3.tar.gz",
                                                    "SF3\t" + tree + "/SF3_JD0012345678901.jpg"}));
    EXPECT_EQ(lines[4], "ZZ9999999999999\t");
    EXPECT_EQ(lines[5], "顺丰\t");

    m_dir.WriteFile("numbers.txt", "\xEF\xBB\xBFSF3\nZZ9999999999999\nSF1400000000001\n顺丰\n");
    EXPECT_EQ(
        Run({"--run-dir", RunDir(), "search", "--batch", m_dir / "numbers.txt", "--missing"}).out,
        "ZZ9999999999999\n顺丰\n");
    EXPECT_EQ(
        Run({"--run-dir", RunDir(), "search", "--count", "--batch=" + m_dir / "numbers.txt"}).out,
        "SF3\t2\nZZ9999999999999\t0\nSF1400000000001\t1\n顺丰\t0\n");
}

// "sf1400000000001" found nothing and the script took the file for missing.
// -i finds it; without -i standard output stays as scripts read it and the
// hint goes to standard error.
TEST_F(CliTest, IgnoreCaseFindsWhatTheExactSearchMissesAndTheExactOneSaysSo) {
    ASSERT_EQ(Run({"--run-dir", RunDir(), "refresh", "--folder", m_dir / "tree"}).exitCode, 0);
    const std::string hit = m_dir / "tree/SF1400000000001.jpg";
    const RunResult exact = Run({"--run-dir", RunDir(), "search", "sf1400000000001"});
    EXPECT_EQ(exact.exitCode, 0);
    EXPECT_EQ(exact.out, "");
    EXPECT_EQ(exact.err, "chengjing-cli: nothing found; ignoring case and width (-i) finds 1\n");
    EXPECT_EQ(Run({"--run-dir", RunDir(), "search", "-i", "ｓｆ1400000000001"}).out, hit + "\n");

    m_input = "sf1400000000001\nJD0012345678901\n";
    const RunResult batch = Run({"--run-dir", RunDir(), "search", "--batch", "-", "--missing"});
    EXPECT_EQ(batch.out, "sf1400000000001\n");
    EXPECT_EQ(batch.err,
              "chengjing-cli: sf1400000000001: no file; ignoring case and width (-i) finds 1\n");
    EXPECT_EQ(
        Run({"--run-dir", RunDir(), "search", "--ignore-case", "--batch", "-", "--missing"}).out,
        "");
    EXPECT_EQ(Run({"--run-dir", RunDir(), "-i", "refresh"}).exitCode, 2);
}

TEST_F(CliTest, BatchWithoutNumbersOrUnreadableListOrShardFails) {
    ASSERT_EQ(Run({"--run-dir", RunDir(), "--threads", "1", "refresh", "--folder", m_dir / "tree"})
                  .exitCode,
              0);
    m_input = " ,;\r\n\t";
    RunResult result = Run({"--run-dir", RunDir(), "search", "--batch", "-"});
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_EQ(result.err, "chengjing-cli: no numbers in standard input (nothing to search)\n");
    EXPECT_EQ(result.out, "");

    result = Run({"--run-dir", RunDir(), "search", "--batch", m_dir / "none.txt"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err, Refused("read", m_dir / "none.txt", "No such file or directory"));

    // Numbers of an unreadable shard must not be reported missing.
    std::filesystem::remove(RunDir() + "/data/1.txt");
    m_input = "SF1400000000001";
    result = Run({"--run-dir", RunDir(), "search", "--batch", "-", "--missing"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err, Refused("read", RunDir() + "/data/1.txt", "No such file or directory"));
    EXPECT_EQ(result.out, "");
}

// A data folder never refreshed (or the wrong --run-dir) printed every number
// as missing with exit 0, and a clerk sent the parcels back as lost.
TEST_F(CliTest, NoIndexIsAnErrorButAnEmptyIndexIsAnAnswer) {
    m_input = "SF1400000000001\n";
    const std::string noIndex = "chengjing-cli: no index in " + RunDir() +
                                "/data: run \"chengjing-cli refresh --folder DIR\" or refresh "
                                "the index in the window\n";
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"--run-dir", RunDir(), "search", "SF"},
          {"--run-dir", RunDir(), "search", "--batch", "-"}}) {
        const RunResult result = Run(args);
        EXPECT_EQ(result.exitCode, 1) << ::testing::PrintToString(args);
        EXPECT_EQ(result.err, noIndex);
        EXPECT_EQ(result.out, "");
    }
    m_dir.MakeDirs("empty");
    ASSERT_EQ(Run({"--run-dir", RunDir(), "refresh", "--folder", m_dir / "empty"}).exitCode, 0);
    EXPECT_EQ(Run({"--run-dir", RunDir(), "search", "SF"}).exitCode, 0);
    const RunResult batch = Run({"--run-dir", RunDir(), "search", "--batch", "-", "--missing"});
    EXPECT_EQ(batch.exitCode, 0) << batch.err;
    EXPECT_EQ(batch.out, "SF1400000000001\n");
}

// A list of any size was read whole and took 26 bytes of memory per byte; a
// list past the largest one taken is now refused before it is read whole.
TEST_F(CliTest, BatchListPastItsLargestSizeIsRefused) {
    ASSERT_EQ(Run({"--run-dir", RunDir(), "refresh", "--folder", m_dir / "tree"}).exitCode, 0);
    m_dir.WriteFile("big.txt", "SF1400000000001\n");
    std::filesystem::resize_file(m_dir / "big.txt", (32 << 20) + 1);  // Sparse: no disk.
    const RunResult result =
        Run({"--run-dir", RunDir(), "search", "--batch", m_dir / "big.txt", "--count"});
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_EQ(result.err, "chengjing-cli: the list " + m_dir / "big.txt" +
                              " is larger than 32 MiB: split it into smaller lists\n");
    EXPECT_EQ(result.out, "");
}

TEST_F(CliTest, BatchCommandLineMistakes) {
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"search", "--batch"},
          {"search", "--batch", ""},
          {"search", "--batch", "list.txt", "SF1"},
          {"search", "--batch", "list.txt", "--long"},
          {"search", "--batch", "list.txt", "--missing", "--count"},
          {"search", "--missing", "SF1"},
          {"refresh", "--batch", "list.txt"},
          {"refresh", "--missing"}}) {
        const RunResult result = Run(args);
        EXPECT_EQ(result.exitCode, 2) << ::testing::PrintToString(args);
        EXPECT_TRUE(result.err.starts_with("chengjing-cli: ")) << result.err;
    }
}

}  // namespace
}  // namespace cj::cli
