// One representation of data handed to other programs (the clipboard, a drag),
// named by its MIME type ("text/uri-list", "text/plain"); each system maps
// the types it knows to its own formats.
#pragma once

#include <string>

namespace exdui::backend {

struct DataFormat {
    std::string mimeType;  // ASCII
    std::string bytes;     // as given, never converted
};

}  // namespace exdui::backend
