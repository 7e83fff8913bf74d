#include "ui/file_transfer.h"

#include "shell/clipboard_payload.h"

namespace cj::ui {

std::vector<desktop::ClipboardFormat> FileListFormats(const std::vector<std::string>& paths) {
    std::vector<desktop::ClipboardFormat> formats;
#ifdef _WIN32
    formats.push_back({std::string(shell::FileDropType), shell::FileDropBlock(paths)});
#else
    formats.push_back({std::string(shell::UriListType), shell::UriList(paths)});
    formats.push_back({std::string(shell::GnomeCopiedFilesType), shell::GnomeCopiedFiles(paths)});
#endif
    formats.push_back({std::string(shell::PlainTextType), shell::PathsText(paths)});
    return formats;
}

bool TryCopyFiles(const std::vector<std::string>& paths) {
    if (paths.empty()) {
        return desktop::TryClearClipboard();
    }
    return desktop::TrySetClipboard(FileListFormats(paths));
}

bool DragFiles(ExHandle source, const std::vector<std::string>& paths) {
    if (paths.empty()) {
        return false;
    }
    const std::vector<desktop::ClipboardFormat> formats = FileListFormats(paths);
    std::vector<ExDragFormat> drag;
    drag.reserve(formats.size());
    for (const desktop::ClipboardFormat& format : formats) {
        drag.push_back({format.mimeType.c_str(), format.bytes.data(), format.bytes.size()});
    }
    // Copy only: the files stay where the index found them.
    return Ex_ObjDoDragDrop(source, drag.data(), static_cast<int32_t>(drag.size()),
                            EX_DROPEFFECT_COPY) != EX_DROPEFFECT_NONE;
}

}  // namespace cj::ui
