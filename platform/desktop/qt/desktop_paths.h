// Text and path rules shared by the Qt implementation of the desktop
// services. Internal to cj_desktop (and its tests).
#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace cj::desktop::detail {

// True when a QGuiApplication (or QApplication, when widgets is set) exists
// and this is its thread: the only place the desktop services may run.
bool IsOnUiThread(bool widgets = false);

// UTF-8 text to a QString. False when the bytes are not valid UTF-8: Qt has
// no way to name such a file, and the replacement character it would put in
// would name another one.
bool TryFromUtf8(std::string_view text, QString& out);

// An absolute local path to a QString, with the checks of TryFromUtf8; false
// for an empty or relative path as well.
bool TryFromAbsolutePath(std::string_view path, QString& out);

// The path without trailing separators; the root stays "/". Doubled
// separators inside are left alone.
std::string TrimTrailingSeparators(std::string_view path);

// The folder that holds path ("/a/b/c.jpg" gives "/a/b", "/c.jpg" and "/"
// give "/", a trailing separator is ignored: "/a/b/" gives "/a"). Empty when
// path is not absolute.
std::string ContainingFolder(std::string_view path);

// The folder a picker should start in for the requested one: itself when it
// is an existing folder, else its nearest existing parent, else the user's
// home folder (also for an empty, relative or non-UTF-8 request).
QString PickerStartFolder(std::string_view requested);

// A folder the picker returned, in the platform encoding with the platform
// separator and without a trailing one (except the root).
std::string PickedFolderPath(const QString& chosen);

}  // namespace cj::desktop::detail
