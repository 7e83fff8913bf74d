// Which of the names dropped on the directory list box are folders. The UI
// library hands the names over; this decides what joins the list. Any
// thread, no state.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace cj::shell {

// The names that are folders now, in the order given: a symbolic link to a
// folder counts as the folder (the refresh walks through it), files, other
// entries and missing paths are left out. Names are kept whole, whatever
// their length.
std::vector<std::string> DroppedFolders(std::span<const std::string> names);

// The member of listed that already covers folder, which then need not join
// the list: folder itself, or a folder that folder lies inside ("/a" covers
// "/a" and "/a/b", not "/ab"; the root covers every folder). Trailing
// separators do not count; the texts are compared as they are, without
// resolving links (the refresh walks a folder reached twice only once). The
// first such member, or nothing; empty texts cover nothing.
std::optional<std::string> CoveringFolder(std::string_view folder,
                                          std::span<const std::string> listed);

}  // namespace cj::shell
