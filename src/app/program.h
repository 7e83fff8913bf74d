// The program-wide state: the data folder, the configuration file, the
// engine and the main window, made before any window exists and released at
// the end of the process. The window's controls belong to its pages; nothing
// reaches them through this object except tests.
#pragma once

#include <optional>
#include <string>

#include "copylist/copy_job.h"
#include "copylist/direct_copy.h"
#include "core/engine_activity.h"
#include "core/settings_file.h"
#include "index/refresh.h"
#include "search/batch_search.h"
#include "search/search_engine.h"
#include "ui/job_events.h"
#include "ui/main_window.h"

namespace cj::app {

struct Program {
    explicit Program(std::string runDir);

    // The executable's folder, no trailing separator; base of every data path.
    const std::string runDirectory;
    const core::SettingsFile settings;  // data/chengjing.ini; thread-safe.

    // The engine. Its workers report to the window's inbox; the members are
    // destroyed in reverse order, so the inbox outlives every worker.
    core::EngineActivity activity;
    ui::JobInbox inbox;
    ui::JobReporter reporter{inbox};
    search::SearchEngine search;
    search::BatchSearch batch{activity, reporter, runDirectory};
    index::Refresher refresher;
    copylist::CopyJob copyJob{reporter};
    // Held in an optional so that StopCopies can end it (its destructor
    // stops the copy and waits) while the rest of the state lives on.
    std::optional<copylist::DirectCopier> directCopier{std::in_place, reporter};

    ui::MainWindow window;

    // Stops the copy job and the direct copy, whose files being written are
    // removed, and waits for both: the window has closed, so their last
    // reports only wait in the inbox. Run before the process ends, which
    // does not wait for the other workers.
    void StopCopies();
};

// Makes the program's state (replacing any earlier one) and returns it.
Program& CreateProgram(std::string runDirectory);
// The state; only between CreateProgram and ReleaseProgram. For start-up,
// the end of the process and tests.
Program& CurrentProgram();
bool HasProgram();
// Releases the state. Registered with atexit by the start-up.
void ReleaseProgram();

}  // namespace cj::app
