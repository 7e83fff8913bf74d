#include "app/startup.h"

#include <cstdio>
#include <cstdlib>

#include "app/program.h"
#include "core/event_log.h"
#include "index/index_commit.h"

namespace cj::app {

int RunProgram(std::string runDirectory) {
    static const bool registered = std::atexit(ReleaseProgram) == 0;
    (void)registered;
    core::SetLogRunDirectory(runDirectory);
    // A commit of the index that a crash interrupted is finished (or its
    // leftovers removed) before anything reads the settings or the index.
    // What cannot be finished now is logged, and finished by the next search
    // or refresh.
    static_cast<void>(index::RecoverIndex(runDirectory));
    Program& program = CreateProgram(std::move(runDirectory));
    const bool shown = program.window.Run();
    program.StopCopies();
    if (!shown) {
        // Nothing could be shown, so this line is all the user gets.
        std::fputs("chengjing: the window could not be created\n", stderr);
        return 1;
    }
    return 0;
}

void EndProcess(int exitCode) {
    if (HasProgram() && !CurrentProgram().activity.IsIdle()) {
        std::quick_exit(exitCode);
    }
    // Idle: no worker runs to race with the exit handlers.
    std::exit(exitCode);  // NOLINT(concurrency-mt-unsafe)
}

}  // namespace cj::app
