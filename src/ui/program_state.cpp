#include "ui/program_state.h"

#include <memory>

#include "core/data_paths.h"

namespace cj::ui {
namespace {

std::unique_ptr<ProgramState>& Slot() {
    static std::unique_ptr<ProgramState> state;
    return state;
}

}  // namespace

ProgramState::ProgramState(std::string runDir)
    : runDirectory(std::move(runDir)),
      config(core::ConfigPath(runDirectory)),
      searchView(controls),
      refreshView(controls),
      search(engine, searchView, runDirectory),
      refresher(engine, refreshView) {}

ProgramState& CreateGlobals(std::string runDirectory) {
    Slot() = std::make_unique<ProgramState>(std::move(runDirectory));
    return *Slot();
}

ProgramState& State() { return *Slot(); }

bool HasGlobals() { return Slot() != nullptr; }

void ReleaseGlobals() { Slot().reset(); }

}  // namespace cj::ui
