#include "app/program.h"

namespace cj::app {
namespace {

// A plain pointer, not a static object: the state goes exactly once, in
// ReleaseProgram at exit, and no static destructor races that handler.
Program* g_program = nullptr;

}  // namespace

Program::Program(std::string runDir)
    : runDirectory(std::move(runDir)),
      settings(core::SettingsFile::InRunDirectory(runDirectory)),
      search(activity, reporter, runDirectory),
      refresher(activity, &reporter),
      window(ui::WindowContext{runDirectory, settings, activity, search, refresher, copyJob,
                               *directCopier, inbox, batch}) {}

void Program::StopCopies() {
    copyJob.Abort();
    copyJob.Wait();
    directCopier.reset();
}

Program& CreateProgram(std::string runDirectory) {
    ReleaseProgram();
    g_program = new Program(std::move(runDirectory));
    return *g_program;
}

Program& CurrentProgram() {
    return *g_program;
}

bool HasProgram() {
    return g_program != nullptr;
}

void ReleaseProgram() {
    delete g_program;
    g_program = nullptr;
}

}  // namespace cj::app
