// Where the program keeps its data/ folder. The window and chengjing-cli both
// ask ChooseRunDirectory once at start, so they always meet in one folder.
#pragma once

#include <string>

namespace cj::platform {

// The folder whose data/ holds the settings, the index and the copy list's
// backup, without a trailing separator:
//  - the executable's folder when data/ is there (a build tree, a portable
//    folder or zip, the Windows installation): the portable layout;
//  - otherwise (an installed program, a program folder copied without its
//    data/) UserDataHome() + "/chengjing", with its data/ made as needed.
// Nothing is ever made beside the executable: a folder the user did not give
// the program stays as it is (and an installed program run with sudo leaves
// no data/ in /usr/bin). When no data home exists or can be made, the
// executable's folder is returned and the program runs without saving, as it
// does without data/. An empty executableDirectory (it could not be found) is
// returned as it is.
std::string ChooseRunDirectory(const std::string& executableDirectory);

// The user's folder for application data, without a trailing separator; empty
// when there is none. Linux: $XDG_DATA_HOME when it is an absolute path, else
// $HOME/.local/share. Windows: %LOCALAPPDATA%.
std::string UserDataHome();

}  // namespace cj::platform
