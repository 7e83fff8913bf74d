// Runs the built chengjing-cli.exe on folders made in a temporary directory:
// the refresh, the search, the batch and the copy end to end with Windows
// paths, in the active code page (GBK names when it is 936).
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "core/data_lock.h"
#include "core/settings_file.h"
#include "platform/code_page.h"
#include "platform/mapped_file.h"
#include "temp_dir.h"

namespace cj::cli {
namespace {

struct RunResult {
    int exitCode = -1;
    std::string out;
    std::string err;
};

// One argument of a command line as the C runtime of the child splits it:
// quoted, with backslashes doubled where they precede a quote.
std::string Quote(std::string_view arg) {
    std::string quoted = "\"";
    std::size_t backslashes = 0;
    for (const char c : arg) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        quoted.append(c == '"' ? 2 * backslashes + 1 : backslashes, '\\');
        backslashes = 0;
        quoted += c;
    }
    quoted.append(2 * backslashes, '\\');
    return quoted + "\"";
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();  // Standard output is in text mode: LF is written as CR LF.
        }
        lines.push_back(line);
    }
    return lines;
}

std::vector<std::string> Sorted(std::vector<std::string> v) {
    std::sort(v.begin(), v.end());
    return v;
}

// The command line sits in bin\ beside the tests' folder; the build's own path
// for it is a Linux one when the build runs on Linux for Wine.
std::string CliPath() {
    char self[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string path(self, length < MAX_PATH ? length : 0);
    path.erase(path.find_last_of('\\') + 1);
    return path + "..\\bin\\chengjing-cli.exe";
}

HANDLE InheritableFile(const std::string& path, bool write) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    return CreateFileA(path.c_str(), write ? GENERIC_WRITE : GENERIC_READ,
                       FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                       write ? CREATE_ALWAYS : OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}

class CliWindowsTest : public ::testing::Test {
  protected:
    CliWindowsTest() {
        m_dir.MakeDirs("run/data");
        m_dir.WriteFile("tree/SF1400000000001.jpg", std::string(532, 'x'));
        m_dir.WriteFile("tree/JD0012345678901.pdf", "");
        m_dir.WriteFile("tree/sub/SF3.tar.gz", "");
    }

    RunResult Run(const std::vector<std::string>& args) const {
        std::string command = Quote(CliPath());
        for (const std::string& arg : args) {
            command += " " + Quote(arg);
        }
        m_dir.WriteFile("stdin.txt", m_input);
        const HANDLE in = InheritableFile(m_dir / "stdin.txt", false);
        const HANDLE out = InheritableFile(m_dir / "stdout.txt", true);
        const HANDLE err = InheritableFile(m_dir / "stderr.txt", true);
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = in;
        startup.hStdOutput = out;
        startup.hStdError = err;
        PROCESS_INFORMATION process{};
        RunResult result;
        if (CreateProcessA(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                           &startup, &process)) {
            WaitForSingleObject(process.hProcess, INFINITE);
            DWORD code = 0;
            if (GetExitCodeProcess(process.hProcess, &code)) {
                result.exitCode = static_cast<int>(code);
            }
            CloseHandle(process.hThread);
            CloseHandle(process.hProcess);
        }
        for (const HANDLE handle : {in, out, err}) {
            CloseHandle(handle);
        }
        result.out = m_dir.ReadFile("stdout.txt");
        result.err = m_dir.ReadFile("stderr.txt");
        return result;
    }

    RunResult Refresh(const std::vector<std::string>& folders) const {
        std::vector<std::string> args{"--run-dir", RunDir(), "refresh"};
        for (const std::string& folder : folders) {
            args.push_back("--folder");
            args.push_back(folder);
        }
        return Run(args);
    }

    std::string RunDir() const { return m_dir / "run"; }

    test::TempDir m_dir;
    std::string m_input;  // Standard input of the next Run.
};

TEST_F(CliWindowsTest, RefreshesAFolderAndSearchesItWithBackslashPaths) {
    const RunResult refresh = Refresh({m_dir / "tree"});
    ASSERT_EQ(refresh.exitCode, 0) << refresh.err;
    EXPECT_EQ(refresh.err, "");

    const RunResult search = Run({"--run-dir", RunDir(), "search", "SF"});
    ASSERT_EQ(search.exitCode, 0) << search.err;
    EXPECT_EQ(Sorted(Lines(search.out)),
              Sorted({m_dir / "tree/SF1400000000001.jpg", m_dir / "tree/sub/SF3.tar.gz"}));
    EXPECT_EQ(Lines(Run({"--run-dir", RunDir(), "--count", "search"}).out),
              std::vector<std::string>{"3"});

    // The shard is the code page's text with CR LF after each record.
    const std::string shard = m_dir.ReadFile("run/data/1.txt");
    EXPECT_NE(shard.find(m_dir / "tree/sub/SF3.tar.gz" + "\r\n"), std::string::npos) << shard;
    EXPECT_EQ(shard.find("/"), std::string::npos) << "no forward slash in a Windows record";
}

TEST_F(CliWindowsTest, AFolderWrittenWithItsSeparatorGetsNoSecondOne) {
    ASSERT_EQ(Refresh({m_dir / "tree/"}).exitCode, 0);
    EXPECT_EQ(Lines(Run({"--run-dir", RunDir(), "search", "JD"}).out),
              std::vector<std::string>{m_dir / "tree/JD0012345678901.pdf"});
}

TEST_F(CliWindowsTest, GbkNamesAreFoundByGbkKeywordsAndNeverInsideACharacter) {
    if (platform::ActiveCodePage() != platform::CodePage::Gbk) {
        GTEST_SKIP() << "needs the Chinese code page 936";
    }
    const std::string shunfeng = "\xCB\xB3\xB7\xE1";  // 顺丰
    m_dir.WriteFile("tree/" + shunfeng + "/" + shunfeng + "SF5.jpg", "");
    // B0 61 is one character whose second byte is "a": "ab" is not in this name.
    m_dir.WriteFile(
        "tree/\xB0"
        "ab.jpg",
        "");
    // 95 5C is one character whose second byte is "\": the name stays whole.
    m_dir.WriteFile("tree/x\x95\x5C.png", "");
    ASSERT_EQ(Refresh({m_dir / "tree"}).exitCode, 0);

    EXPECT_EQ(Lines(Run({"--run-dir", RunDir(), "search", shunfeng}).out),
              std::vector<std::string>{m_dir / ("tree/" + shunfeng + "/" + shunfeng + "SF5.jpg")});
    EXPECT_EQ(Lines(Run({"--run-dir", RunDir(), "search", "ab"}).out), std::vector<std::string>{});
    EXPECT_EQ(Lines(Run({"--run-dir", RunDir(), "search",
                         "\xB0"
                         "a"})
                        .out),
              std::vector<std::string>{m_dir / "tree/\xB0"
                                               "ab.jpg"});
    // (The keyword does not end in that byte: the child's C runtime would
    // take it for a backslash before the closing quote.)
    EXPECT_EQ(Lines(Run({"--run-dir", RunDir(), "search", "x\x95\x5C.png"}).out),
              std::vector<std::string>{m_dir / "tree/x\x95\x5C.png"});
    // The name alone is searched: the folder's 顺丰 does not count for SF1.
    EXPECT_EQ(Lines(Run({"--run-dir", RunDir(), "--count", "search", shunfeng, "SF1"}).out),
              std::vector<std::string>{"0"});

    // The batch splits at the full-width comma in GBK (A3 AC).
    m_input =
        "SF5\xA3\xAC"
        "JD0012345678901\r\nZZ1\r\n";
    EXPECT_EQ(Lines(Run({"--run-dir", RunDir(), "search", "--batch", "-", "--count"}).out),
              (std::vector<std::string>{"SF5\t1", "JD0012345678901\t1", "ZZ1\t0"}));
}

TEST_F(CliWindowsTest, MissingListedFolderFailsTheRefresh) {
    const RunResult result = Refresh({"Q:\\unplugged"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.err.find("cannot open the listed folder Q:\\unplugged"), std::string::npos)
        << result.err;
}

// Renaming the new shards over the old ones must work while another program
// reads them: the search maps its shards, and Windows refuses to replace a
// file that is open without sharing its deletion.
TEST_F(CliWindowsTest, ThreadCountChangeCommitsWhileAnotherProgramHoldsAShard) {
    ASSERT_EQ(Run({"--run-dir", RunDir(), "--threads", "2", "refresh", "--folder", m_dir / "tree"})
                  .exitCode,
              0);
    platform::MappedFile reader;
    ASSERT_EQ(reader.Open(m_dir / "run/data/1.txt"), std::error_code());
    const std::string before(reader.Bytes());

    m_dir.WriteFile("tree/SF9.jpg", "");
    const RunResult result =
        Run({"--run-dir", RunDir(), "--threads", "3", "refresh", "--folder", m_dir / "tree"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(std::string(reader.Bytes()), before) << "the reader keeps the index it opened";
    EXPECT_EQ(core::SettingsFile::InRunDirectory(RunDir()).ReadThreadCount().text, "3");
    EXPECT_EQ(Lines(Run({"--run-dir", RunDir(), "--count", "search", "SF"}).out),
              std::vector<std::string>{"3"});
}

TEST_F(CliWindowsTest, RefreshIsRefusedWhileAnotherProgramRefreshesButSearchesRun) {
    ASSERT_EQ(Refresh({m_dir / "tree"}).exitCode, 0);
    platform::FileLock other;  // Another program's refresh.
    ASSERT_EQ(core::TryLockData(m_dir / "run/data", core::DataLock::Refresh,
                                platform::LockMode::Exclusive, platform::LockWait::No, other),
              std::error_code());
    const RunResult refused =
        Run({"--run-dir", RunDir(), "--threads", "3", "refresh", "--folder", m_dir / "tree"});
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_EQ(
        Lines(refused.err),
        std::vector<std::string>{"chengjing-cli: the refresh did not start: another refresh of " +
                                 (m_dir / "run/data") + " runs"});
    EXPECT_EQ(Lines(Run({"--run-dir", RunDir(), "--count", "search", "SF"}).out),
              std::vector<std::string>{"2"});
}

TEST_F(CliWindowsTest, CopyNeverReplacesAFileAndSkipsItWithItsReason) {
    m_dir.WriteFile("out/SF1400000000001.jpg", "the user's own");
    const std::string kept = m_dir / "tree/SF1400000000001.jpg";
    const std::string copied = m_dir / "tree/sub/SF3.tar.gz";
    m_input = kept + "\r\n" + copied + "\r\n";
    const RunResult result = Run({"copy", "--to", m_dir / "out"});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(Lines(result.out),
              std::vector<std::string>{"copied 1, skipped 1 (target exists), failed 0"});
    EXPECT_EQ(m_dir.ReadFile("out/SF1400000000001.jpg"), "the user's own");
    EXPECT_NE(GetFileAttributesA((m_dir / "out/SF3.tar.gz").c_str()), INVALID_FILE_ATTRIBUTES);
}

// A drive of its own, made by the test runner (tests/windows/run_tests.sh)
// as a link in the Wine prefix: its root is walked and copied into.
TEST_F(CliWindowsTest, DriveRootsWithAndWithoutTheSeparator) {
    const char* drive = std::getenv("CJ_TEST_DRIVE");
    if (drive == nullptr || std::string(drive).size() != 2) {
        GTEST_SKIP() << "CJ_TEST_DRIVE (for example R:) names no scratch drive";
    }
    const std::string root = std::string(drive) + "\\";
    const std::string file = root + "SF7700000000001.jpg";
    const HANDLE made = CreateFileA(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(made, INVALID_HANDLE_VALUE);
    CloseHandle(made);

    for (const std::string& folder : {root, std::string(drive)}) {
        ASSERT_EQ(Refresh({folder}).exitCode, 0) << folder;
        EXPECT_EQ(Lines(Run({"--run-dir", RunDir(), "search", "SF77"}).out),
                  std::vector<std::string>{file})
            << folder;
    }

    // Copied into a drive root given as "R:": the file lands in the root.
    m_input = m_dir / "tree/JD0012345678901.pdf";
    ASSERT_EQ(Run({"copy", "--to", drive}).exitCode, 0);
    const std::string target = root + "JD0012345678901.pdf";
    EXPECT_NE(GetFileAttributesA(target.c_str()), INVALID_FILE_ATTRIBUTES);
    DeleteFileA(target.c_str());
    DeleteFileA(file.c_str());
}

}  // namespace
}  // namespace cj::cli
