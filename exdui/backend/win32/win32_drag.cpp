// The drag session on Win32: OLE's DoDragDrop with our data object and a drop
// source that ends the drag when the left button is let go (a drop) or at
// Escape (cancelled). The EX_DROPEFFECT_* values are the system's own.
#include <ole2.h>
#include <windows.h>

#include "backend/drag_source.h"
#include "backend/win32/win32_com_object.h"
#include "backend/win32/win32_data_object.h"
#include "backend/win32/win32_native_view.h"
#include "exdui.h"

namespace exdui::backend {
namespace {

class DropSource final : public win32::ComObject<IDropSource, IID_IDropSource> {
  public:
    HRESULT STDMETHODCALLTYPE QueryContinueDrag(BOOL escape, DWORD keys) override {
        if (escape != FALSE) {
            return DRAGDROP_S_CANCEL;
        }
        return (keys & MK_LBUTTON) == 0 ? DRAGDROP_S_DROP : S_OK;
    }
    HRESULT STDMETHODCALLTYPE GiveFeedback(DWORD) override { return DRAGDROP_S_USEDEFAULTCURSORS; }
};

// OLE on this thread, once: the drag needs it, and it stays for the process.
bool OleReady() {
    static const bool ready = SUCCEEDED(OleInitialize(nullptr));
    return ready;
}

}  // namespace

int32_t RunDrag(NativeView* source, const std::vector<DataFormat>& formats, uint32_t effects) {
    const DWORD allowed = effects & (DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK);
    if (win32::ToHwnd(source) == nullptr || allowed == 0 || !OleReady()) {
        return EX_DROPEFFECT_NONE;
    }
    IDataObject* data = win32::MakeDataObject(win32::ToClipboardBlocks(formats));
    auto* dropSource = new (std::nothrow) DropSource;
    DWORD effect = DROPEFFECT_NONE;
    HRESULT result = E_OUTOFMEMORY;
    if (data != nullptr && dropSource != nullptr) {
        // The target picks among the allowed effects; copying is its default
        // when allowed, as the system prefers it without a modifier key.
        result = DoDragDrop(data, dropSource, allowed, &effect);
    }
    if (dropSource != nullptr) {
        dropSource->Release();
    }
    if (data != nullptr) {
        data->Release();
    }
    if (result != DRAGDROP_S_DROP) {
        return EX_DROPEFFECT_NONE;
    }
    return static_cast<int32_t>(effect & allowed);
}

}  // namespace exdui::backend
