#include "backend/win32/win32_data_object.h"

#include <shlobj.h>

#include <algorithm>
#include <cstring>
#include <new>
#include <utility>

#include "backend/win32/win32_com_object.h"
namespace exdui::backend::win32 {
namespace {

std::string ToUnicodeText(const std::string& narrow) {
    const int count =
        MultiByteToWideChar(CP_ACP, 0, narrow.data(), static_cast<int>(narrow.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(count), L'\0');
    MultiByteToWideChar(CP_ACP, 0, narrow.data(), static_cast<int>(narrow.size()), wide.data(),
                        count);
    wide.push_back(L'\0');
    return {reinterpret_cast<const char*>(wide.data()), wide.size() * sizeof(wchar_t)};
}

void Put(std::vector<ClipboardBlock>& blocks, UINT format, std::string bytes) {
    std::erase_if(blocks, [format](const ClipboardBlock& b) { return b.format == format; });
    blocks.push_back({format, std::move(bytes)});
}

// Offers each block through a fresh copy of its bytes.
class DataObject final : public ComObject<IDataObject, IID_IDataObject> {
  public:
    explicit DataObject(std::vector<ClipboardBlock> blocks) : m_blocks(std::move(blocks)) {}

    HRESULT STDMETHODCALLTYPE GetData(FORMATETC* format, STGMEDIUM* medium) override {
        if (format == nullptr || medium == nullptr) {
            return E_INVALIDARG;
        }
        const ClipboardBlock* block = Find(*format);
        if (block == nullptr) {
            return DV_E_FORMATETC;
        }
        HGLOBAL global = ToGlobal(block->bytes);
        if (global == nullptr) {
            return E_OUTOFMEMORY;
        }
        medium->tymed = TYMED_HGLOBAL;
        medium->hGlobal = global;
        medium->pUnkForRelease = nullptr;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* format) override {
        return format != nullptr && Find(*format) != nullptr ? S_OK : DV_E_FORMATETC;
    }
    HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) override {
        if (out != nullptr) {
            out->ptd = nullptr;
        }
        return DATA_S_SAMEFORMATETC;
    }
    HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD direction, IEnumFORMATETC** out) override {
        if (direction != DATADIR_GET) {
            return E_NOTIMPL;
        }
        std::vector<FORMATETC> formats;
        for (const ClipboardBlock& block : m_blocks) {
            formats.push_back({static_cast<CLIPFORMAT>(block.format), nullptr, DVASPECT_CONTENT, -1,
                               TYMED_HGLOBAL});
        }
        return SHCreateStdEnumFmtEtc(static_cast<UINT>(formats.size()), formats.data(), out);
    }
    HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override {
        return OLE_E_ADVISENOTSUPPORTED;
    }
    HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
    HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) override {
        return OLE_E_ADVISENOTSUPPORTED;
    }

  private:
    const ClipboardBlock* Find(const FORMATETC& format) const {
        if ((format.tymed & TYMED_HGLOBAL) == 0 || format.dwAspect != DVASPECT_CONTENT) {
            return nullptr;
        }
        const auto it = std::find_if(m_blocks.begin(), m_blocks.end(), [&](const auto& block) {
            return block.format == format.cfFormat;
        });
        return it == m_blocks.end() ? nullptr : &*it;
    }

    const std::vector<ClipboardBlock> m_blocks;
};

}  // namespace

std::vector<ClipboardBlock> ToClipboardBlocks(const std::vector<DataFormat>& formats) {
    std::vector<ClipboardBlock> blocks;
    for (const DataFormat& format : formats) {
        if (format.mimeType == FileDropMimeType) {
            Put(blocks, CF_HDROP, format.bytes);
        } else if (format.mimeType == "text/plain") {
            Put(blocks, CF_TEXT, format.bytes + '\0');
            Put(blocks, CF_UNICODETEXT, ToUnicodeText(format.bytes));
        } else if (const UINT registered = RegisterClipboardFormatA(format.mimeType.c_str())) {
            Put(blocks, registered, format.bytes);
        }
    }
    return blocks;
}

HGLOBAL ToGlobal(const std::string& bytes) {
    HGLOBAL global = GlobalAlloc(GMEM_MOVEABLE, std::max<size_t>(bytes.size(), 1));
    if (global == nullptr) {
        return nullptr;
    }
    if (void* memory = GlobalLock(global)) {
        std::memcpy(memory, bytes.data(), bytes.size());
        GlobalUnlock(global);
        return global;
    }
    GlobalFree(global);
    return nullptr;
}

IDataObject* MakeDataObject(std::vector<ClipboardBlock> blocks) {
    return new (std::nothrow) DataObject(std::move(blocks));
}

}  // namespace exdui::backend::win32
