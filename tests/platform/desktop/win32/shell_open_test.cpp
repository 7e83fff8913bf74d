#include "platform/desktop/shell_open.h"

#include <gtest/gtest.h>

namespace cj::desktop {
namespace {

// Paths that name no file exactly are refused before the shell sees them.
TEST(ShellOpen, RefusesPathsWithoutARoot) {
    for (const std::string& path : std::initializer_list<std::string>{
             "", "a.txt", "C:a.txt", "\\a.txt", std::string("C:\\a\0b.txt", 10)}) {
        SCOPED_TRACE(path);
        EXPECT_FALSE(TryOpenWithDefaultProgram(path));
        EXPECT_FALSE(TryShowInFolder(path));
    }
}

}  // namespace
}  // namespace cj::desktop
