// 澄镜文件极速搜索工具: takes no arguments and keeps its files in data/ beside
// the executable, or in the user's data home when installed
// (platform/run_directory.h).
#include "app/startup.h"
#include "platform/files.h"
#include "platform/run_directory.h"

int main() {
    cj::app::EndProcess(
        cj::app::RunProgram(cj::platform::ChooseRunDirectory(cj::platform::ExecutableDirectory())));
}
