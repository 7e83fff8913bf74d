// Which of the names dropped on the directory list box are folders. The UI
// library hands the names over; this decides what joins the list. Any
// thread, no state.
#pragma once

#include <span>
#include <string>
#include <vector>

namespace cj::shell {

// The names that are folders now, in the order given: a symbolic link to a
// folder counts as the folder (the refresh walks through it), files, other
// entries and missing paths are left out. Names are kept whole, whatever
// their length.
std::vector<std::string> DroppedFolders(std::span<const std::string> names);

}  // namespace cj::shell
