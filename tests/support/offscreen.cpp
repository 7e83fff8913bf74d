// Linked into every test that opens windows: they run on Qt's offscreen
// platform, on a screen of 1920 by 1080, unless the environment already names
// another platform (QT_QPA_PLATFORM=xcb shows them on a display). A plain
// "offscreen" there gets the same screen: Qt's own default of 800 by 600 is
// smaller than the window, which keeps itself inside the screen.
#include <cstdlib>
#include <cstring>

namespace {

const bool offscreen = [] {
#ifdef CJ_OFFSCREEN_SCREEN
    // A screen of 1920 by 1080 (tests/CMakeLists.txt writes its description).
    const char* platform = std::getenv("QT_QPA_PLATFORM");
    const bool plainOffscreen = platform != nullptr && std::strcmp(platform, "offscreen") == 0;
    setenv("QT_QPA_PLATFORM", "offscreen:configfile=" CJ_OFFSCREEN_SCREEN, plainOffscreen ? 1 : 0);
#else
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
#endif
    setenv("XDG_RUNTIME_DIR", "/tmp", 0);
    return true;
}();

}  // namespace
