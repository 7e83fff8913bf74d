// 澄镜文件极速搜索工具: takes no arguments and keeps its files in data/ beside
// the executable.
#include "platform/files.h"
#include "ui/startup.h"

int main() {
    cj::ui::EndProcess(cj::ui::RunProgram(cj::platform::ExecutableDirectory()));
}
