// Which folder's data/ the program uses: beside the executable when it is
// there, else the user's data home. Linux: the data home comes from the environment.
#include "platform/run_directory.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

#include "temp_dir.h"

namespace cj::platform {
namespace {

// Sets an environment variable (nullopt: unsets it) for one scope.
class ScopedEnv {
  public:
    ScopedEnv(const char* name, const std::optional<std::string>& value) : m_name(name) {
        // NOLINTNEXTLINE(concurrency-mt-unsafe)
        if (const char* old = std::getenv(name)) {
            m_old = old;
        }
        Set(value);
    }
    ~ScopedEnv() { Set(m_old); }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

  private:
    void Set(const std::optional<std::string>& value) const {
        // NOLINTNEXTLINE(concurrency-mt-unsafe)
        value ? ::setenv(m_name, value->c_str(), 1) : ::unsetenv(m_name);
    }
    const char* m_name;
    std::optional<std::string> m_old;
};

TEST(RunDirectory, UserDataHomeFollowsTheBaseDirectoryRules) {
    const struct {
        std::optional<std::string> xdg, home;
        std::string expected;
    } cases[] = {
        {"/x/share", "/home/a", "/x/share"},
        {"/x/share/", "/home/a", "/x/share"},
        {"relative/share", "/home/a", "/home/a/.local/share"},  // Invalid, so ignored.
        {"", "/home/a", "/home/a/.local/share"},
        {std::nullopt, "/home/a", "/home/a/.local/share"},
        {std::nullopt, std::nullopt, ""},
        {std::nullopt, "relative", ""},
    };
    for (const auto& c : cases) {
        const ScopedEnv xdg("XDG_DATA_HOME", c.xdg);
        const ScopedEnv home("HOME", c.home);
        EXPECT_EQ(UserDataHome(), c.expected)
            << c.xdg.value_or("(unset)") << " " << c.home.value_or("(unset)");
    }
}

TEST(RunDirectory, BesideTheExecutableWhenDataIsThereElseTheDataHome) {
    enum class Where { Beside, DataHome };
    const struct {
        const char* story;
        std::string exeDir;   // Relative to the temporary folder unless absolute.
        const char* prepare;  // A file or folder made beside the executable first.
        Where expected;
    } cases[] = {
        {"a build tree or a portable folder with its data/", "portable", "data/", Where::Beside},
        {"a copied program folder without data/ gets none", "copied", "", Where::DataHome},
        {"a folder that cannot hold data/", "missing/bin", nullptr, Where::DataHome},
        {"data is a file, not a folder", "odd", "data", Where::DataHome},
        {"an installed program, even run by root", "/usr/bin", nullptr, Where::DataHome},
    };
    for (const auto& c : cases) {
        test::TempDir dir;
        const ScopedEnv xdg("XDG_DATA_HOME", dir / "home/.local/share");
        const std::string exeDir = c.exeDir.starts_with('/') ? c.exeDir : dir / c.exeDir;
        if (c.prepare != nullptr) {
            std::filesystem::create_directories(exeDir);
            if (std::string(c.prepare) == "data/") {
                dir.MakeDirs(c.exeDir + "/data");
            } else if (*c.prepare != '\0') {
                dir.WriteFile(c.exeDir + "/" + c.prepare, "");
            }
        }
        const std::string dataHome = dir / "home/.local/share/chengjing";
        const std::string chosen = ChooseRunDirectory(exeDir);
        if (c.expected == Where::Beside) {
            EXPECT_EQ(chosen, exeDir) << c.story;
            EXPECT_TRUE(std::filesystem::is_directory(exeDir + "/data")) << c.story;
            EXPECT_FALSE(std::filesystem::exists(dataHome)) << c.story;
        } else {
            EXPECT_EQ(chosen, dataHome) << c.story;
            EXPECT_TRUE(std::filesystem::is_directory(dataHome + "/data")) << c.story;
            EXPECT_FALSE(std::filesystem::is_directory(exeDir + "/data")) << c.story;
        }
    }
}

TEST(RunDirectory, WithoutADataHomeTheExecutablesFolderStays) {
    test::TempDir dir;
    const ScopedEnv xdg("XDG_DATA_HOME", std::nullopt);
    const ScopedEnv home("HOME", std::nullopt);
    EXPECT_EQ(ChooseRunDirectory(dir / "missing/bin"), dir / "missing/bin");
    EXPECT_EQ(ChooseRunDirectory(""), "");
}

}  // namespace
}  // namespace cj::platform
