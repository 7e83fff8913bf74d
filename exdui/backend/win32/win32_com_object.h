// The IUnknown part of a COM object of ours that offers one interface:
// counted from one reference, deleted by its last Release.
#pragma once

#include <objbase.h>

#include <atomic>

namespace exdui::backend::win32 {

// COM interfaces have no virtual destructor: the virtual one here lets
// Release delete the object as its own class.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
template <class Interface, const IID& InterfaceId>
class ComObject : public Interface {
  public:
    ComObject() = default;
    virtual ~ComObject() = default;
    ComObject(const ComObject&) = delete;
    ComObject& operator=(const ComObject&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
        if (object == nullptr) {
            return E_POINTER;
        }
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, InterfaceId)) {
            *object = static_cast<Interface*>(this);
            this->AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_references; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG left = --m_references;
        if (left == 0) {
            delete this;
        }
        return left;
    }

  private:
    std::atomic<ULONG> m_references{1};
};
#pragma GCC diagnostic pop

}  // namespace exdui::backend::win32
