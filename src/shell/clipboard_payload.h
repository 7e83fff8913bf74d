// The bytes that hand a list of files to other programs, through the
// clipboard or a drag: the formats file managers read, and the texts of
// names and paths. Pure functions of their arguments, any thread.
//
// Paths are absolute, in the platform's narrow encoding (UTF-8 on Linux, the
// active code page on Windows) with the platform separator, and are taken as
// bytes: a name that is not valid in that encoding is carried unchanged where
// the format allows it, never replaced by another name.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace cj::shell {

// The MIME types the payloads below go under.
inline constexpr std::string_view UriListType = "text/uri-list";
inline constexpr std::string_view GnomeCopiedFilesType = "x-special/gnome-copied-files";
inline constexpr std::string_view PlainTextType = "text/plain";
// Our name for the Windows file-drop format (CF_HDROP, 15): the Windows desktop
// services place bytes of this type under that clipboard format.
inline constexpr std::string_view FileDropType = "application/x-windows-hdrop";

// "file://" followed by path with every byte percent-encoded (%XX, upper-case
// hex) except the unreserved characters of RFC 3986 (letters, digits, "-",
// ".", "_", "~") and "/". Bytes above 0x7F are encoded one by one, so a name
// that is not UTF-8 keeps its exact bytes in the URL.
std::string FileUrl(std::string_view path);

// text/uri-list: one file URL a line, each followed by CR LF as the MIME type
// (RFC 2483) requires on every platform. Empty for no paths.
std::string UriList(const std::vector<std::string>& paths);

// x-special/gnome-copied-files, what GNOME's and other file managers paste
// from: "copy", then each file URL on a line of its own, lines separated by
// LF with no line end after the last.
std::string GnomeCopiedFiles(const std::vector<std::string>& paths);

// The paths, one a line, every line (the last too) ended by the platform's
// line end (platform/line_end.h). Empty for no paths.
std::string PathsText(const std::vector<std::string>& paths);

// The file names without their extension (FileName), one a line, every line
// ended by the platform's line end.
std::string NamesText(const std::vector<std::string>& paths);

// The Windows file-drop block, as the clipboard's CF_HDROP holds it: the
// 20-byte DROPFILES header (offset of the list 20, drop point 0, 0, not in
// the non-client area 0, narrow names 0; four little-endian 32-bit values
// each), then each path's bytes followed by one zero byte, then one more zero
// byte. With no paths the list is that closing zero byte alone (21 bytes in
// all). A path holding a zero byte would cut the list: such a path is left
// out, as no file can be named by it.
std::string FileDropBlock(const std::vector<std::string>& paths);

}  // namespace cj::shell
