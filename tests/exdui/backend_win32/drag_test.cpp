// A drag from one window of ours to an OLE drop target in another, the
// pointer moved and the button let go by the system's input while the drag
// runs.
#include <gtest/gtest.h>
#include <ole2.h>
#include <windows.h>
// After windows.h.
#include <shellapi.h>

#include "backend/drag_source.h"
#include "backend/win32/win32_native_view.h"
#include "win32_test_window.h"

namespace exdui::backend::win32 {
namespace {

// Takes a drop with the effect it is told, and counts the files it gets.
// Lives on the stack: its reference count is not kept.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
class Target final : public IDropTarget {
  public:
    explicit Target(DWORD answer) : m_answer(answer) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
        *object =
            IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDropTarget) ? this : nullptr;
        return *object != nullptr ? S_OK : E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE DragEnter(IDataObject*, DWORD, POINTL, DWORD* effect) override {
        *effect = m_answer;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE DragOver(DWORD, POINTL, DWORD* effect) override {
        *effect = m_answer;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE DragLeave() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD, POINTL, DWORD* effect) override {
        FORMATETC format{CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
        STGMEDIUM medium{};
        if (SUCCEEDED(data->GetData(&format, &medium))) {
            files = DragQueryFileW(static_cast<HDROP>(medium.hGlobal), 0xFFFFFFFF, nullptr, 0);
            ReleaseStgMedium(&medium);
        }
        *effect = m_answer;
        return S_OK;
    }

    UINT files = 0;

  private:
    DWORD m_answer;
};
#pragma GCC diagnostic pop

void Pointer(POINT at, DWORD buttons) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dx = at.x * 65535 / (GetSystemMetrics(SM_CXSCREEN) - 1);
    input.mi.dy = at.y * 65535 / (GetSystemMetrics(SM_CYSCREEN) - 1);
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | buttons;
    SendInput(1, &input, sizeof(input));
}

HWND Square(int left) {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.lpszClassName = L"ExduiDragTest";
    RegisterClassW(&windowClass);  // fails harmlessly the second time
    return CreateWindowExW(0, L"ExduiDragTest", L"", WS_POPUP | WS_VISIBLE, left, 0, 100, 100,
                           nullptr, nullptr, nullptr, nullptr);
}

// The pointer's path once the drag runs: into the target, then let go there.
int g_step = 0;
void CALLBACK Follow(HWND, UINT, UINT_PTR timer, DWORD) {
    switch (++g_step) {
        case 2:
            Pointer({250, 50}, 0);
            break;
        case 3:
            Pointer({260, 60}, 0);
            break;
        case 5:
            Pointer({260, 60}, MOUSEEVENTF_LEFTUP);
            KillTimer(nullptr, timer);
            break;
        default:
            break;
    }
}

TEST(Drag, EndsWithTheEffectTheTargetTook) {
    ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
    const std::string twoFiles =
        std::string(20, '\0').replace(0, 1, 1, '\x14') + std::string("C:\\a\0C:\\b\0\0", 11);
    struct Case {
        DWORD answer;
        int32_t effect;
        UINT files;
    };
    for (const Case& c : {Case{DROPEFFECT_COPY, EX_DROPEFFECT_COPY, 2},
                          Case{DROPEFFECT_NONE, EX_DROPEFFECT_NONE, 0}}) {
        HWND source = Square(0);
        HWND into = Square(200);
        Target target(c.answer);
        ASSERT_EQ(RegisterDragDrop(into, &target), S_OK);
        Pointer({50, 50}, MOUSEEVENTF_LEFTDOWN);
        test::RunPending();
        g_step = 0;
        SetTimer(nullptr, 0, 100, Follow);
        EXPECT_EQ(RunDrag(ToNativeView(source), {{"application/x-windows-hdrop", twoFiles}},
                          EX_DROPEFFECT_COPY | EX_DROPEFFECT_MOVE),
                  c.effect);
        EXPECT_EQ(target.files, c.files);
        RevokeDragDrop(into);
        DestroyWindow(into);
        DestroyWindow(source);
    }
    OleUninitialize();
}

}  // namespace
}  // namespace exdui::backend::win32
