// The folder picker on Windows: the common item dialog picking folders.
#include "platform/desktop/folder_picker.h"

#include <windows.h>
// After windows.h.
#include <shlobj.h>
#include <shobjidl.h>

#include <cstdlib>

#include "platform/desktop/win32/desktop_thread.h"
#include "platform/win32/path_text.h"

namespace cj::desktop {
namespace {

bool IsFolder(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// The requested folder, or its nearest existing parent, or the user's
// profile folder.
std::wstring StartFolder(const std::string& requested) {
    if (detail::IsAbsolutePath(requested)) {
        for (std::string folder = requested;;) {
            if (IsFolder(folder)) {
                if (std::optional<std::wstring> wide = detail::ToWide(folder)) {
                    return *std::move(wide);
                }
                break;
            }
            std::string parent(platform::win32::ParentText(folder));
            if (parent == folder) {
                break;
            }
            folder = std::move(parent);
        }
    }
    PWSTR profile = nullptr;
    std::wstring home;
    if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_Profile, 0, nullptr, &profile))) {
        home = profile;
    }
    CoTaskMemFree(profile);
    return home;
}

// Releases a COM pointer at the end of its scope.
template <class T>
struct Held {
    T* p = nullptr;
    Held() = default;
    Held(const Held&) = delete;
    Held& operator=(const Held&) = delete;
    ~Held() {
        if (p != nullptr) {
            p->Release();
        }
    }
};

std::optional<std::string> Chosen(IFileOpenDialog& dialog) {
    Held<IShellItem> item;
    PWSTR path = nullptr;
    if (FAILED(dialog.GetResult(&item.p)) ||
        FAILED(item.p->GetDisplayName(SIGDN_FILESYSPATH, &path))) {
        return std::nullopt;
    }
    std::optional<std::string> narrow = detail::ToNarrow(path);
    CoTaskMemFree(path);
    if (!narrow) {
        return std::nullopt;  // a name the code page cannot hold names no folder here
    }
    // "C:\" keeps its separator; "C:\a\" loses it.
    while (narrow->size() > platform::win32::RootLength(*narrow) &&
           platform::win32::EndsWithSeparator(*narrow)) {
        narrow->pop_back();
    }
    return narrow;
}

}  // namespace

std::optional<std::string> PickFolder(const std::string& title, const std::string& startFolder) {
    if (!detail::IsOnUiThread()) {
        return std::nullopt;
    }
    Held<IFileOpenDialog> dialog;
    if (FAILED(CoCreateInstance(CLSID_FileOpenDialog, nullptr, CLSCTX_INPROC_SERVER,
                                IID_PPV_ARGS(&dialog.p)))) {
        return std::nullopt;
    }
    FILEOPENDIALOGOPTIONS options = 0;
    dialog.p->GetOptions(&options);
    dialog.p->SetOptions(options | FOS_PICKFOLDERS | FOS_FORCEFILESYSTEM | FOS_PATHMUSTEXIST);
    if (const std::optional<std::wstring> wideTitle = detail::ToWide(title)) {
        dialog.p->SetTitle(wideTitle->c_str());
    }
    const std::wstring start = StartFolder(startFolder);
    Held<IShellItem> folder;
    if (!start.empty() &&
        SUCCEEDED(SHCreateItemFromParsingName(start.c_str(), nullptr, IID_PPV_ARGS(&folder.p)))) {
        dialog.p->SetFolder(folder.p);
    }
    if (FAILED(dialog.p->Show(GetActiveWindow()))) {
        return std::nullopt;  // cancelled
    }
    std::optional<std::string> chosen = Chosen(*dialog.p);
    if (!chosen || !IsFolder(*chosen)) {
        return std::nullopt;
    }
    return chosen;
}

}  // namespace cj::desktop
