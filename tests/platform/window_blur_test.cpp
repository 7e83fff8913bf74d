#include "platform/window_blur.h"

#include <gtest/gtest.h>

namespace cj::platform {
namespace {

// The window asks for the blur once it exists; a window that is gone or was
// never made must come back false, never crash.
TEST(WindowBlur, NoWindowGetsNoBlur) {
    EXPECT_FALSE(ApplyBlurBehind(0));
    EXPECT_FALSE(ApplyBlurBehind(0x7FFF0001));  // No window has this handle.
}

TEST(WindowBlur, MethodFollowsTheSystemVersion) {
    EXPECT_EQ(BlurMethodForVersion(5, 1), BlurMethod::None);           // XP
    EXPECT_EQ(BlurMethodForVersion(6, 0), BlurMethod::BlurBehind);     // Vista
    EXPECT_EQ(BlurMethodForVersion(6, 1), BlurMethod::BlurBehind);     // 7
    EXPECT_EQ(BlurMethodForVersion(6, 2), BlurMethod::None);           // 8
    EXPECT_EQ(BlurMethodForVersion(6, 3), BlurMethod::None);           // 8.1
    EXPECT_EQ(BlurMethodForVersion(10, 0), BlurMethod::AccentPolicy);  // 10 and 11
}

}  // namespace
}  // namespace cj::platform
