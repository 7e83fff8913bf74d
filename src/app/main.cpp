// 澄镜文件极速搜索工具: takes no arguments and keeps its files in data/ beside
// the executable.
#include "app/startup.h"
#include "platform/files.h"

int main() {
    cj::app::EndProcess(cj::app::RunProgram(cj::platform::ExecutableDirectory()));
}
