// Whether the tests run under Wine, which is not Windows in every detail: its
// CopyFileExA never calls the progress routine, for one. A test of something
// only Windows itself does skips there, saying what it could not show.
#pragma once

namespace cj::test {

// False on Linux and on Windows; true in a Windows executable run by Wine.
bool RunningUnderWine();

}  // namespace cj::test
