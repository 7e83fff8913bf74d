// Linked into every test that opens windows: they run on Qt's offscreen
// platform unless the environment already names another (QT_QPA_PLATFORM=xcb
// shows them on a display).
#include <cstdlib>

namespace {

const bool offscreen = [] {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    setenv("XDG_RUNTIME_DIR", "/tmp", 0);
    return true;
}();

}  // namespace
