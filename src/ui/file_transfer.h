// Handing hits to other programs as files: the file list on the clipboard and
// a drag of files out of the window. UI thread only. Paths are absolute, in
// the platform's narrow encoding.
#pragma once

#include <string>
#include <vector>

#include "exdui/exdui.h"
#include "platform/desktop/clipboard.h"

namespace cj::ui {

// The formats that carry paths as files to the platform's file managers and
// chat windows, the same for the clipboard and for a drag: on Linux the URL
// list, GNOME's copied-files list and the paths as plain text (one a line,
// nothing else in it, for an editor); on Windows the file-drop block and the
// plain text.
std::vector<desktop::ClipboardFormat> FileListFormats(const std::vector<std::string>& paths);

// Puts the paths on the clipboard as files. With no paths the clipboard is
// emptied instead, so that no earlier file list or text stays on it to be
// pasted by mistake (an empty file list is what Windows holds then; on Linux
// an empty clipboard is the same to every program). False when the clipboard
// was not changed.
bool TryCopyFiles(const std::vector<std::string>& paths);

// Drags the paths as files out of source (the list the drag began on) and
// returns when the drag ends: whether a target took them. Nothing happens
// without paths.
bool DragFiles(ExHandle source, const std::vector<std::string>& paths);

}  // namespace cj::ui
