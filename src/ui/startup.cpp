#include "ui/startup.h"

#include <cstdlib>

#include "ui/colour.h"
#include "ui/main_controls.h"
#include "ui/main_window.h"
#include "ui/program_state.h"
#include "ui/window_style.h"

namespace cj::ui {

int RunProgram(std::string runDirectory) {
    static const bool registered = std::atexit(ReleaseGlobals) == 0;
    (void)registered;
    ProgramState& state = CreateGlobals(std::move(runDirectory));

    FrameWindowDescription main;
    main.embedded = false;
    main.initFlags = DefaultInitFlags;
    main.title = MainWindowTitle;
    main.width = MainWindowWidth;
    main.height = MainWindowHeight;
    main.background = MainWindowBackground;
    main.style = BuildWindowStyle({.centred = 1,
                                   .minimiseButton = 1,
                                   .maximiseButton = 1,
                                   .closeButton = 1,
                                   .movable = 1,
                                   .resizable = 1});
    main.blur = 0;
    main.outSurface = &state.mainDuiHandle;
    main.content = CreateMainWindowControls;
    main.procedure = MainWindowProc;
    state.mainWindow.Create(main);
    return 0;
}

void EndProcess(int exitCode) {
    if (HasGlobals() && !State().engine.IsIdle()) {
        std::quick_exit(exitCode);
    }
    std::exit(exitCode);
}

}  // namespace cj::ui
