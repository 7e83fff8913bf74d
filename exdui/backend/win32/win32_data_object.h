// Data handed to other programs on Windows: the library's formats (MIME types)
// as clipboard formats, and an OLE data object holding them for a drag.
#pragma once

#include <objidl.h>
#include <windows.h>

#include <string>
#include <vector>

#include "backend/data_format.h"

namespace exdui::backend::win32 {

// The type the program gives the bytes of a CF_HDROP block under.
inline constexpr char FileDropMimeType[] = "application/x-windows-hdrop";

// One clipboard format with the bytes its global memory holds.
struct ClipboardBlock {
    UINT format = 0;
    std::string bytes;

    bool operator==(const ClipboardBlock&) const = default;
};

// The clipboard formats for formats, in their order: the file-drop type goes
// under CF_HDROP; "text/plain" (text in the active code page) under CF_TEXT
// and, converted, under CF_UNICODETEXT, both closed by a NUL; any other type
// under the registered format of its name, bytes as given. A type listed twice
// keeps its last bytes.
std::vector<ClipboardBlock> ToClipboardBlocks(const std::vector<DataFormat>& formats);

// A movable global block holding bytes, for SetClipboardData or a STGMEDIUM;
// null when memory runs out.
HGLOBAL ToGlobal(const std::string& bytes);

// An OLE data object offering blocks as HGLOBALs (reference count 1: the
// caller releases it).
IDataObject* MakeDataObject(std::vector<ClipboardBlock> blocks);

}  // namespace exdui::backend::win32
