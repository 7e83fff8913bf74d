// The modal dialogs the main window asks or tells the user with (the folder
// picker, a yes-or-no and an OK message box, each blocking its caller, the UI
// thread, until the user answers), the desktop's opening of a file and of its
// folder, and the clipboard. Tests put functions of their own in their place;
// everything else uses SystemDialogs.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace cj::ui {

struct WindowDialogs {
    // Asks for a folder with title, starting in startFolder: the chosen
    // folder, or nothing when the user cancelled.
    std::function<std::optional<std::string>(const std::string& title,
                                             const std::string& startFolder)>
        pickFolder;
    // Asks text with caption and the buttons Yes and No: true for Yes.
    std::function<bool(std::string_view text, std::string_view caption)> askYesNo;
    // Tells text with caption and an OK button.
    std::function<void(std::string_view text, std::string_view caption)> tell;
    // Opens a file with the desktop's program for it, without waiting for
    // that program: whether the request could be handed over.
    std::function<bool(const std::string& path)> openFile;
    // Replaces the clipboard's content with plain text (narrow, line ends as
    // given): whether the clipboard took it.
    std::function<bool(std::string_view text)> setClipboardText;
    // Shows a file selected in a window of its folder, without waiting for
    // the file manager: whether the request could be handed over.
    std::function<bool(const std::string& path)> showInFolder;
};

// The desktop's folder picker and the UI library's message box (owned by no
// window, so the question stands for the whole program).
WindowDialogs SystemDialogs();

}  // namespace cj::ui
