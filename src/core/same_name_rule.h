// What a copy does with a file whose name is taken in the target folder: the
// copy list's setting "同名文件", stored in the settings file and passed to
// every copy the window and the command line start.
#pragma once

namespace cj::core {

enum class SameNameRule {
    // The file is skipped and the one there stays: two files of one name
    // from different folders give the first.
    Skip = 0,
    // The file is copied under the next free "name (n).ext", n from 2; the
    // one there stays as it is.
    KeepBoth = 1,
};

}  // namespace cj::core
