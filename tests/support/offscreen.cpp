// Linked into every test that opens windows: they run on Qt's offscreen
// platform, on a screen of 1920 by 1080, unless the environment already names
// another platform (QT_QPA_PLATFORM=xcb shows them on a display).
#include <cstdlib>

namespace {

const bool offscreen = [] {
#ifdef CJ_OFFSCREEN_SCREEN
    // A screen of 1920 by 1080 (tests/CMakeLists.txt writes its description).
    setenv("QT_QPA_PLATFORM", "offscreen:configfile=" CJ_OFFSCREEN_SCREEN, 0);
#else
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
#endif
    setenv("XDG_RUNTIME_DIR", "/tmp", 0);
    return true;
}();

}  // namespace
