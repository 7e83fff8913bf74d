// The C functions that create, find and change objects.
#include <cstring>

#include "canvas.h"
#include "class_registry.h"
#include "core/ex_rect.h"
#include "fonts.h"
#include "object_access.h"
#include "window.h"

namespace exdui {

void DestroyObject(Object& obj) {
    if (obj.destroying || obj.destroyed) {
        return;
    }
    // While it hears of its end the object still answers calls.
    obj.destroying = true;
    obj.SetTimer(0);
    obj.Send(EX_WM_DESTROY, 0, 0);
    obj.SetVisible(false);  // its views go with it, and what it covered repaints
    std::vector<Object*> children = obj.Children();
    for (Object* child : children) {
        DestroyObject(*child);
    }
    obj.destroyed = true;
    handles::Remove(obj.Handle());
    if (obj.Parent() != nullptr) {
        obj.Parent()->DetachFromParent(&obj);
    } else {
        obj.OwnerWindow().RemoveRoot(&obj);
    }
    obj.OwnerWindow().Bury(&obj);
}

bool IsDestroyed(const Object& obj) {
    return obj.destroyed;
}

namespace {

ExHandle CreateObject(int32_t styleEx, std::u16string_view className, const std::u16string& title,
                      int32_t style, const ExRect& rect, ExHandle parent, int32_t id,
                      int32_t textFormat, intptr_t lParam, ExObjProc proc) {
    const ClassRecord* cls = FindClass(className);
    Kind kind;
    if (cls == nullptr || !handles::KindOf(parent, &kind)) {
        return 0;
    }
    Window* window = nullptr;
    Object* parentObj = nullptr;
    if (kind == Kind::Surface) {
        window = WindowFromSurface(parent);
    } else if (kind == Kind::Object) {
        parentObj = ObjectFromHandle(parent);
        window = parentObj != nullptr && !parentObj->destroyed && !parentObj->destroying
                     ? &parentObj->OwnerWindow()
                     : nullptr;
    }
    if (window == nullptr || window->IsDestroying()) {
        return 0;
    }
    auto* obj = new Object(*cls, *window, parentObj);
    ExHandle handle = handles::AddRaw(Kind::Object, obj);
    if (handle == 0) {
        if (parentObj != nullptr) {
            parentObj->DetachFromParent(obj);
        }
        delete obj;
        return 0;
    }
    int32_t s = style == -1 ? cls->style : style;
    obj->Create(handle, s, styleEx == -1 ? cls->styleEx : styleEx,
                textFormat == -1 ? cls->textFormat : textFormat, id, lParam, proc, rect, title);
    if (parentObj == nullptr) {
        window->AddRoot(obj);
    }
    obj->Send(EX_WM_CREATE, 0, 0);
    if (!obj->destroyed) {
        obj->SetVisible((s & EX_OS_VISIBLE) != 0);
    }
    return handles::IsLive(handle, Kind::Object) ? handle : 0;
}

const std::vector<Object*>* ChildrenOf(ExHandle parent) {
    if (Object* obj = ObjectFromHandle(parent)) {
        return &obj->Children();
    }
    if (Window* win = WindowFromSurface(parent)) {
        return &win->Roots();
    }
    return nullptr;
}

Object* FindById(const std::vector<Object*>& list, int32_t id) {
    for (Object* obj : list) {
        if (obj->Id() == id) {
            return obj;
        }
    }
    for (Object* obj : list) {
        if (Object* found = FindById(obj->Children(), id)) {
            return found;
        }
    }
    return nullptr;
}

constexpr int32_t TextChannel = -1;

}  // namespace
}  // namespace exdui

using namespace exdui;

extern "C" {

EXDUI_API ExHandle Ex_ObjCreateEx(int32_t styleEx, const char16_t* className, const char16_t* title,
                                  int32_t style, int32_t x, int32_t y, int32_t width,
                                  int32_t height, ExHandle parent, int32_t id, int32_t textFormat,
                                  intptr_t lParam, ExHandle theme, ExObjProc proc) {
    (void)theme;
    if (className == nullptr) {
        return 0;
    }
    try {
        const std::u16string name(className);
        std::u16string text = title != nullptr ? std::u16string(title) : std::u16string();
        const ExRect rect{x, y, x + std::max(0, width), y + std::max(0, height)};
        return marshal::Call(
            [&] {
                return CreateObject(styleEx, name, text, style, rect, parent, id, textFormat,
                                    lParam, proc);
            },
            ExHandle{0});
    } catch (...) {
        return 0;
    }
}

EXDUI_API int Ex_ObjHandleEvent(ExHandle object, int32_t code, ExEventProc handler) {
    return WithObject(object, 0, [&](Object& obj) {
        if (handler == nullptr) {
            obj.RemoveHandlers(code);
        } else {
            obj.AddHandler(code, handler);
        }
        return 1;
    });
}

EXDUI_API int Ex_ObjHandleEventEx(ExHandle object, int32_t code, ExEventProcEx handler,
                                  void* user) {
    return WithObject(object, 0, [&](Object& obj) {
        if (handler == nullptr) {
            obj.RemoveHandlers(code);
        } else {
            obj.AddHandler(code, handler, user);
        }
        return 1;
    });
}

EXDUI_API intptr_t Ex_ObjSendMessage(ExHandle object, int32_t message, intptr_t wParam,
                                     intptr_t lParam) {
    if (message == EX_PBM_SETPOS && !marshal::IsUiThread()) {
        // Progress from a worker: only the latest position matters.
        if (!handles::IsLive(object, Kind::Object)) {
            return 0;
        }
        return marshal::PostLatest(object, message,
                                   [=] {
                                       if (Object* obj = ObjectFromHandle(object);
                                           obj != nullptr && !obj->destroyed) {
                                           obj->Send(message, wParam, lParam);
                                       }
                                   })
                   ? 1
                   : 0;
    }
    return WithObject(object, intptr_t{0},
                      [&](Object& obj) { return obj.Send(message, wParam, lParam); });
}

EXDUI_API intptr_t Ex_ObjDispatchNotify(ExHandle object, int32_t code, intptr_t wParam,
                                        intptr_t lParam) {
    return WithObject(object, intptr_t{0},
                      [&](Object& obj) { return obj.Notify(code, wParam, lParam); });
}

EXDUI_API intptr_t Ex_ObjSetLong(ExHandle object, int32_t index, intptr_t value) {
    return WithObject(object, intptr_t{0}, [&](Object& obj) { return obj.SetLong(index, value); });
}

EXDUI_API intptr_t Ex_ObjGetLong(ExHandle object, int32_t index) {
    return WithObject(object, intptr_t{0}, [&](Object& obj) { return obj.GetLong(index); });
}

EXDUI_API int Ex_ObjSetUIState(ExHandle object, uint32_t state, int remove, const ExRect* rect,
                               int redraw) {
    (void)rect;
    return OnObject(object, [=](Object& obj) {
        obj.SetState(state, remove == 0, redraw != 0);
        return true;
    });
}

EXDUI_API int Ex_ObjSetTimer(ExHandle object, int32_t interval) {
    return OnObject(object, [=](Object& obj) {
        obj.SetTimer(interval);
        return true;
    });
}

EXDUI_API int Ex_ObjKillTimer(ExHandle object) {
    return Ex_ObjSetTimer(object, 0);
}

EXDUI_API int Ex_ObjMove(ExHandle object, int32_t x, int32_t y, int32_t width, int32_t height,
                         int repaint) {
    return OnObject(object, [=](Object& obj) {
        const ExRect& g = obj.Rect();
        const int32_t left = x == EX_KEEP ? g.left : x;
        const int32_t top = y == EX_KEEP ? g.top : y;
        const int32_t w = width == EX_KEEP ? obj.Width() : std::max(0, width);
        const int32_t h = height == EX_KEEP ? obj.Height() : std::max(0, height);
        obj.SetRect({left, top, left + w, top + h});
        if (repaint != 0) {
            obj.Invalidate();
        }
        return true;
    });
}

EXDUI_API int Ex_ObjShow(ExHandle object, int show) {
    return OnObject(object, [=](Object& obj) {
        bool visible = show != 0;
        if (obj.Visible() != visible) {
            obj.SetVisible(visible);
            obj.Send(EX_WM_SHOWWINDOW, visible ? 1 : 0, 0);
        }
        return true;
    });
}

EXDUI_API int Ex_ObjIsVisible(ExHandle object) {
    return WithObject(object, 0, [](Object& obj) { return obj.Visible() ? 1 : 0; });
}

EXDUI_API int Ex_ObjEnable(ExHandle object, int enable) {
    return OnObject(object, [=](Object& obj) {
        obj.SetEnabled(enable != 0);
        obj.SetState(EX_STATE_DISABLED, enable == 0, true);
        obj.Send(EX_WM_ENABLE, enable != 0 ? 1 : 0, 0);
        return true;
    });
}

EXDUI_API int Ex_ObjSetFocus(ExHandle object) {
    return OnObject(object, [](Object& obj) {
        obj.FocusInput();
        return true;
    });
}

EXDUI_API int Ex_ObjDestroy(ExHandle object) {
    return OnObject(object, [](Object& obj) {
        DestroyObject(obj);
        return true;
    });
}

EXDUI_API ExHandle Ex_ObjFind(ExHandle parent, ExHandle childAfter, const char16_t* className,
                              const char16_t* title) {
    try {
        const std::u16string cls =
            className != nullptr ? std::u16string(className) : std::u16string();
        std::u16string text = title != nullptr ? std::u16string(title) : std::u16string();
        bool anyTitle = title == nullptr;
        return marshal::Call(
            [&]() -> ExHandle {
                const std::vector<Object*>* list = ChildrenOf(parent);
                if (list == nullptr) {
                    return 0;
                }
                bool started = childAfter == 0;
                for (Object* obj : *list) {
                    if (!started) {
                        started = obj->Handle() == childAfter;
                        continue;
                    }
                    bool classOk = cls.empty() || SameClassName(obj->Class().name, cls);
                    if (classOk && (anyTitle || obj->Text() == text)) {
                        return obj->Handle();
                    }
                }
                return 0;
            },
            ExHandle{0});
    } catch (...) {
        return 0;
    }
}

EXDUI_API ExHandle Ex_ObjGetParent(ExHandle object) {
    return WithObject(object, ExHandle{0}, [](Object& obj) {
        return obj.Parent() != nullptr ? obj.Parent()->Handle() : obj.SurfaceHandle();
    });
}

EXDUI_API ExHandle Ex_ObjGetFromID(ExHandle parent, int32_t id) {
    return marshal::Call(
        [&]() -> ExHandle {
            const std::vector<Object*>* list = ChildrenOf(parent);
            Object* found = list != nullptr ? FindById(*list, id) : nullptr;
            return found != nullptr ? found->Handle() : 0;
        },
        ExHandle{0});
}

EXDUI_API int Ex_ObjSetText(ExHandle object, const char16_t* text, int redraw) {
    try {
        std::u16string copy = text != nullptr ? std::u16string(text) : std::u16string();
        auto apply = [copy, redraw](Object& obj) {
            obj.Send(EX_WM_SETTEXT, 0, reinterpret_cast<intptr_t>(copy.c_str()));
            if (redraw != 0) {
                obj.Invalidate();
            }
            return true;
        };
        if (marshal::IsUiThread()) {
            Object* obj = ObjectFromHandle(object);
            return obj != nullptr && !obj->destroyed && apply(*obj) ? 1 : 0;
        }
        if (!handles::IsLive(object, Kind::Object)) {
            return 0;
        }
        // Status texts are set at a high rate from workers: keep the latest.
        return marshal::PostLatest(object, TextChannel,
                                   [object, apply] {
                                       if (Object* obj = ObjectFromHandle(object);
                                           obj != nullptr && !obj->destroyed) {
                                           apply(*obj);
                                       }
                                   })
                   ? 1
                   : 0;
    } catch (...) {
        return 0;
    }
}

EXDUI_API size_t Ex_ObjGetText(ExHandle object, char16_t* buffer, size_t bufferBytes) {
    if (buffer == nullptr || bufferBytes < sizeof(char16_t)) {
        return 0;
    }
    return WithObject(object, size_t{0}, [&](Object& obj) {
        size_t capacity = bufferBytes / sizeof(char16_t) - 1;
        size_t n = std::min(capacity, static_cast<size_t>(obj.Text().size()));
        std::memcpy(buffer, obj.Text().data(), n * sizeof(char16_t));
        buffer[n] = 0;
        return n;
    });
}

EXDUI_API size_t Ex_ObjGetTextLength(ExHandle object) {
    return WithObject(object, size_t{0},
                      [](Object& obj) { return static_cast<size_t>(obj.Text().size()); });
}

EXDUI_API int Ex_ObjGetRect(ExHandle object, ExRect* rect) {
    if (rect == nullptr) {
        return 0;
    }
    return WithObject(object, 0, [&](Object& obj) {
        *rect = obj.Rect();
        return 1;
    });
}

EXDUI_API int Ex_ObjGetClientRect(ExHandle object, ExRect* rect) {
    if (rect == nullptr) {
        return 0;
    }
    return WithObject(object, 0, [&](Object& obj) {
        *rect = ExRect{0, 0, obj.Width(), obj.Height()};
        return 1;
    });
}

EXDUI_API ExArgb Ex_ObjSetColor(ExHandle object, int32_t slot, ExArgb color, int redraw) {
    return WithObject(object, ExArgb{0}, [&](Object& obj) {
        ExArgb old = obj.Color(slot);
        obj.SetColor(slot, color);
        obj.Send(MsgColorChanged, slot, 0);
        if (redraw != 0) {
            obj.Invalidate();
        }
        return old;
    });
}

EXDUI_API ExArgb Ex_ObjGetColor(ExHandle object, int32_t slot) {
    return WithObject(object, ExArgb{0}, [&](Object& obj) { return obj.Color(slot); });
}

EXDUI_API int Ex_ObjSetFontFromFamily(ExHandle object, const char16_t* family, int32_t size,
                                      int32_t style, int redraw) {
    return WithObject(object, 0, [&](Object& obj) {
        obj.SetFont(MakeFont(
            family != nullptr ? std::u16string_view(family) : std::u16string_view(), size, style));
        obj.Send(MsgFontChanged, 0, 0);
        if (redraw != 0) {
            obj.Invalidate();
        }
        return 1;
    });
}

EXDUI_API ExHandle Ex_ObjGetFont(ExHandle object) {
    return WithObject(object, ExHandle{0}, [](Object& obj) { return obj.FontHandle(); });
}

EXDUI_API int Ex_ObjSetRadius(ExHandle object, float topLeft, float topRight, float bottomRight,
                              float bottomLeft, int redraw) {
    return OnObject(object, [=](Object& obj) {
        obj.SetRadius(topLeft, topRight, bottomRight, bottomLeft);
        if (redraw != 0) {
            obj.Invalidate();
        }
        return true;
    });
}

EXDUI_API int Ex_ObjInvalidateRect(ExHandle object, const ExRect* rect) {
    const bool part = rect != nullptr && !IsEmpty(*rect);
    const ExRect area = part ? *rect : ExRect{};
    return OnObject(object, [=](Object& obj) {
        if (part) {
            obj.InvalidateRect(area);
        } else {
            obj.Invalidate();
        }
        return true;
    });
}

EXDUI_API int Ex_ObjSetTooltip(ExHandle object, const char16_t* text) {
    try {
        std::u16string plain = text != nullptr ? std::u16string(text) : std::u16string();
        return OnObject(object, [plain](Object& obj) {
            obj.SetTooltip(plain);
            return true;
        });
    } catch (...) {
        return 0;
    }
}

EXDUI_API size_t Ex_ObjGetTooltip(ExHandle object, char16_t* buffer, size_t bufferBytes) {
    if (buffer == nullptr || bufferBytes < sizeof(char16_t)) {
        return 0;
    }
    return WithObject(object, size_t{0}, [&](Object& obj) {
        const std::u16string& tip = obj.Tooltip();
        size_t n = std::min(bufferBytes / sizeof(char16_t) - 1, tip.size());
        std::memcpy(buffer, tip.data(), n * sizeof(char16_t));
        buffer[n] = 0;
        return n;
    });
}

EXDUI_API int Ex_ObjBeginPaint(ExHandle object, ExPaint* paint) {
    if (paint == nullptr || !marshal::IsUiThread()) {
        return 0;
    }
    Object* obj = ObjectFromHandle(object);
    if (obj == nullptr || obj->Painter() == nullptr) {
        return 0;
    }
    const int32_t w = obj->Width();
    const int32_t h = obj->Height();
    *paint = ExPaint{
        obj->CanvasHandle(), obj->TextFormat(), obj->State(), obj->Style(), obj->StyleEx(), w, h,
        ExRect{0, 0, w, h}};
    return 1;
}

EXDUI_API int Ex_ObjEndPaint(ExHandle object, ExPaint* paint) {
    (void)paint;
    if (!marshal::IsUiThread()) {
        return 0;
    }
    Object* obj = ObjectFromHandle(object);
    return obj != nullptr && obj->Painter() != nullptr ? 1 : 0;
}

}  // extern "C"
