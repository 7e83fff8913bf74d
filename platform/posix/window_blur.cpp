#include "platform/window_blur.h"

namespace cj::platform {

// No desktop here offers a blur a window can ask for; the window stays
// translucent, which is what the program relies on.
bool ApplyBlurBehind(std::intptr_t /*nativeWindow*/) {
    return false;
}

}  // namespace cj::platform
