#include "ui/program_state.h"

#include "core/data_paths.h"

namespace cj::ui {
namespace {

// A plain pointer, not a static object: the state goes exactly once, in
// ReleaseGlobals at exit, and no static destructor races that handler.
ProgramState* g_state = nullptr;

}  // namespace

ProgramState::ProgramState(std::string runDir)
    : runDirectory(std::move(runDir)),
      config(core::ConfigPath(runDirectory)),
      searchView(controls),
      refreshView(controls),
      search(engine, searchView, runDirectory),
      refresher(engine, refreshView) {}

ProgramState& CreateGlobals(std::string runDirectory) {
    ReleaseGlobals();
    g_state = new ProgramState(std::move(runDirectory));
    return *g_state;
}

ProgramState& State() { return *g_state; }

bool HasGlobals() { return g_state != nullptr; }

void ReleaseGlobals() {
    delete g_state;
    g_state = nullptr;
}

}  // namespace cj::ui
