// Handing files to the desktop on the user's request ("打开文件", "打开文件目录",
// "查看未复制") through the window's dialogs, and telling the user in a
// message box what could not be handed over: the (first) file and the
// system's reason where it gives one. UI thread only.
#pragma once

#include <string>
#include <vector>

#include "ui/window_dialogs.h"

namespace cj::ui {

// Opens each file with its program. A file that is gone is not handed over:
// the desktop would start a program that fails where the user may not see it.
// One message names the first file not opened and counts the others.
void OpenFilesOrTell(const WindowDialogs& dialogs, const std::vector<std::string>& paths);

// Shows the file selected in its folder, or tells why not.
void ShowInFolderOrTell(const WindowDialogs& dialogs, const std::string& path);

// Opens the last copy's report (a text file in data/), or tells why not.
void OpenCopyReportOrTell(const WindowDialogs& dialogs, const std::string& path);

}  // namespace cj::ui
