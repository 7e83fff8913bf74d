#include "core/settings_save.h"

namespace cj::core {

bool SaveShutdownSettings(const ConfigFile& config, const ShutdownSettings& s) {
    bool ok = config.WriteItem("ckzt", "zt", std::to_string(s.windowStateOption));
    if (s.windowStateOption == 2) {
        ok &= config.WriteItem("ckzt", "kd", std::to_string(s.windowWidth));
        ok &= config.WriteItem("ckzt", "gd", std::to_string(s.windowHeight));
    }
    ok &= config.WriteItem("sjms", "ma", std::to_string(s.doubleClickAction));
    if (s.threadCountText) {
        ok &= config.WriteItem("xcs", "ma", *s.threadCountText);
    }
    if (s.copyTarget) {
        ok &= config.WriteItem("mbml", "ma", *s.copyTarget);
    }
    return ok;
}

}  // namespace cj::core
