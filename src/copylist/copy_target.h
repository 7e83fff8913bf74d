// Where the copy job and the direct copy put a file. Any thread.
#pragma once

#include <string>
#include <string_view>

namespace cj::copylist {

// The target path of source in the folder the user typed: the text, a
// separator unless the text is empty or already ends in one, and source's
// file name with its extension.
std::string TargetPath(std::string_view targetText, std::string_view source);

// Creates the target folder, one level, when nothing exists at targetText
// (an empty text is the current folder). A failure is left to the copies,
// which then fail one by one with their reason.
void PrepareTargetFolder(const std::string& targetText);

}  // namespace cj::copylist
