// Where the program keeps its data/ folder. The window and chengjing-cli both
// ask ChooseRunDirectory once at start, so they always meet in one folder.
#pragma once

#include <string>

namespace cj::platform {

// The folder whose data/ holds the settings, the index and the copy list's
// backup, without a trailing separator:
//  - the executable's folder when data/ is there, or when it can be made there
//    (a build tree, a copied program folder, the Windows installation, which
//    belongs to its user): the portable layout;
//  - otherwise (an installed program, whose folder belongs to the system)
//    UserDataHome() + "/chengjing", with its data/ made as needed.
// On Linux nothing is ever made under /usr, even by root: an installed
// program run with sudo must not leave a data/ in /usr/bin. When no data home
// exists or can be made, the executable's folder is returned and the program
// runs without saving, as it does without data/. An empty
// executableDirectory (it could not be found) is returned as it is.
std::string ChooseRunDirectory(const std::string& executableDirectory);

// The user's folder for application data, without a trailing separator; empty
// when there is none. Linux: $XDG_DATA_HOME when it is an absolute path, else
// $HOME/.local/share. Windows: %LOCALAPPDATA%.
std::string UserDataHome();

}  // namespace cj::platform
