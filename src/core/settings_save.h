// The settings the window saves when it is destroyed.
#pragma once

#include <optional>
#include <string>

#include "core/config_file.h"

namespace cj::core {

struct ShutdownSettings {
    int windowStateOption = 0;  // 0 default size, 1 maximised, 2 remembered size.
    int windowWidth = 0;        // Outer size, saved only for option 2.
    int windowHeight = 0;
    int doubleClickAction = 0;
    // The thread count as the selector shows it and the copy target folder;
    // absent while their controls do not exist, so that nothing stored is
    // replaced by a text nobody could have seen.
    std::optional<std::string> threadCountText;
    std::optional<std::string> copyTarget;
};

// Writes, in this order: ckzt/zt; ckzt/kd and ckzt/gd for option 2 only;
// sjms/ma; xcs/ma; mbml/ma. A failed write does not stop the ones after it.
// Returns whether every write succeeded.
bool SaveShutdownSettings(const ConfigFile& config, const ShutdownSettings& settings);

}  // namespace cj::core
