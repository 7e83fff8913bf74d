#include "ui/window_dialogs.h"

#include "exdui/exdui.h"
#include "platform/code_page.h"
#include "platform/desktop/clipboard.h"
#include "platform/desktop/folder_picker.h"
#include "platform/desktop/shell_open.h"

namespace cj::ui {

WindowDialogs SystemDialogs() {
    WindowDialogs dialogs;
    dialogs.pickFolder = &desktop::PickFolder;
    dialogs.askYesNo = [](std::string_view text, std::string_view caption) {
        const std::u16string wideText = platform::NarrowToUtf16(text);
        const std::u16string wideCaption = platform::NarrowToUtf16(caption);
        return Ex_MessageBox(0, wideText.c_str(), wideCaption.c_str(),
                             EX_MB_YESNO | EX_MB_ICONQUESTION, 0) == EX_IDYES;
    };
    dialogs.tell = [](std::string_view text, std::string_view caption) {
        const std::u16string wideText = platform::NarrowToUtf16(text);
        const std::u16string wideCaption = platform::NarrowToUtf16(caption);
        Ex_MessageBox(0, wideText.c_str(), wideCaption.c_str(), EX_MB_OK | EX_MB_ICONINFORMATION,
                      0);
    };
    dialogs.openFile = &desktop::TryOpenWithDefaultProgram;
    dialogs.setClipboardText = &desktop::TrySetClipboardText;
    dialogs.showInFolder = &desktop::TryShowInFolder;
    return dialogs;
}

}  // namespace cj::ui
