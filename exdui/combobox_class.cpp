// "combobox": a text with a drop-down list of items. Style bit 1 makes the
// text editable through an inner "Edit" object (found with Ex_ObjFind by
// class); without it the box only shows the chosen text. Items are numbered
// from 1, 0 meaning none. Choosing an item in the drop-down sets the text and
// raises notification 1 (a click on the item, or the keys: the arrows move in
// the open list and Enter chooses); selecting by message 334 sets the text
// quietly.
// Emptying the items (331) keeps the text, so a caller can rebuild the list
// around the title it shows.
#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "class_registry.h"
#include "combobox_dropdown.h"
#include "object_access.h"

namespace exdui {
namespace {

constexpr int ArrowWidth = 24;
constexpr int TextInset = 6;

struct ComboState : ClassState {
    std::vector<std::u16string> items;
    int current = 0;
    bool editable = false;
    ExHandle edit = 0;
};

void SetTextQuietly(Object& obj, const std::u16string& text) {
    obj.Send(EX_WM_SETTEXT, 0, reinterpret_cast<intptr_t>(text.c_str()));
}

void Choose(Object& obj, int index, bool notify) {
    auto* st = obj.StateAs<ComboState>();
    if (st == nullptr) {
        return;
    }
    if (index < 1 || index > static_cast<int>(st->items.size())) {
        st->current = 0;
        obj.Invalidate();
        return;
    }
    st->current = index;
    // A copy: the procedure that sets the text may change the items.
    const std::u16string text = st->items[static_cast<size_t>(index - 1)];
    SetTextQuietly(obj, text);
    if (notify && !obj.destroyed) {
        obj.Notify(EX_CBN_SELCHANGE, index, 0);
    }
}

void OpenPopup(Object& obj) {
    auto* st = obj.StateAs<ComboState>();
    if (st == nullptr) {
        return;
    }
    const ExHandle handle = obj.Handle();
    OpenDropDown(obj, st->items, st->current, [handle](int32_t index) {
        if (Object* o = ObjectFromHandle(handle)) {
            Choose(*o, index, true);
        }
    });
}

void Paint(Object& obj, backend::Painter& p) {
    auto* st = obj.StateAs<ComboState>();
    if (st == nullptr) {
        return;
    }
    const RectF r = obj.ClientRect();
    ExArgb border = obj.Color(EX_COLOR_BORDER);
    if ((border >> 24) != 0) {
        p.StrokeRect({r.left + 0.5F, r.top + 0.5F, r.right - 0.5F, r.bottom - 0.5F}, border, 1);
    }
    if (!st->editable) {
        p.DrawFormattedText(obj.Font(), obj.Color(EX_COLOR_TEXT), obj.Text(),
                            EX_DT_VCENTER | EX_DT_SINGLELINE | EX_DT_END_ELLIPSIS,
                            {TextInset, 0, r.right - ArrowWidth, r.bottom});
    }
    // The arrow: a chevron pointing down in the box's right end.
    const PointF c{r.right - ArrowWidth / 2.0F, r.Center().y};
    const PointF arrow[] = {{c.x - 4, c.y - 2}, {c.x, c.y + 2}, {c.x + 4, c.y - 2}};
    p.SetAntialias(true);
    p.StrokePolyline(arrow, obj.Color(EX_COLOR_TEXT), 1.5F);
}

intptr_t CopyItem(const ComboState& st, intptr_t index, char16_t* buffer) {
    if (index < 1 || index > static_cast<intptr_t>(st.items.size())) {
        return -1;
    }
    const std::u16string& text = st.items[static_cast<size_t>(index - 1)];
    if (buffer != nullptr) {
        std::memcpy(buffer, text.data(), text.size() * sizeof(char16_t));
        buffer[text.size()] = 0;
    }
    return static_cast<intptr_t>(text.size());
}

intptr_t ComboProc(ExHandle window, ExHandle object, int32_t message, intptr_t wParam,
                   intptr_t lParam) {
    Object* obj = ObjectFromHandle(object);
    auto* st = obj != nullptr ? obj->StateAs<ComboState>() : nullptr;
    if (st == nullptr) {
        return Ex_ObjDefProc(window, object, message, wParam, lParam);
    }
    auto count = static_cast<intptr_t>(st->items.size());
    switch (message) {
        case EX_CB_ADDSTRING:
            if (lParam == 0)
                return 0;
            st->items.emplace_back(reinterpret_cast<const char16_t*>(lParam));
            return count + 1;
        case EX_CB_INSERTSTRING: {
            if (lParam == 0)
                return 0;
            std::u16string text(reinterpret_cast<const char16_t*>(lParam));
            if (wParam < 1 || wParam > count) {
                st->items.push_back(std::move(text));
                return count + 1;
            }
            st->items.insert(st->items.begin() + (wParam - 1), std::move(text));
            if (st->current >= wParam)
                ++st->current;
            return wParam;
        }
        case EX_CB_DELETESTRING:
            if (wParam < 1 || wParam > count)
                return count;
            st->items.erase(st->items.begin() + (wParam - 1));
            if (st->current == wParam)
                st->current = 0;
            else if (st->current > wParam)
                --st->current;
            return count - 1;
        case EX_CB_GETCOUNT:
            return count;
        case EX_CB_GETCURSEL:
            return st->current;
        case EX_CB_GETLBTEXT:
            return CopyItem(*st, wParam, reinterpret_cast<char16_t*>(lParam));
        case EX_CB_GETLBTEXTLEN:
            return CopyItem(*st, wParam, nullptr);
        case EX_CB_RESETCONTENT:
            st->items.clear();
            st->current = 0;
            return 1;
        case EX_CB_SETCURSEL:
            Choose(*obj, static_cast<int>(std::clamp<intptr_t>(wParam, 0, count)), false);
            return st->current;
        case EX_WM_SETTEXT: {
            intptr_t r = Ex_ObjDefProc(window, object, message, wParam, lParam);
            if (st->edit != 0 && lParam != 0) {
                Ex_ObjSetText(st->edit, reinterpret_cast<const char16_t*>(lParam), 1);
            }
            return r;
        }
        case MsgChildTextChanged:
            if (static_cast<ExHandle>(wParam) == st->edit) {
                if (Object* edit = ObjectFromHandle(st->edit)) {
                    obj->StoreText(edit->Text());
                }
            }
            return 0;
        case EX_WM_SIZE:
            if (st->edit != 0) {
                Ex_ObjMove(st->edit, 0, 0, std::max(0, PointX(lParam) - ArrowWidth), PointY(lParam),
                           1);
            }
            return 0;
        case EX_WM_LBUTTONDOWN:
            if (!st->editable ||
                static_cast<float>(PointX(lParam)) >= obj->ClientRect().right - ArrowWidth) {
                OpenPopup(*obj);
            }
            break;
        case EX_WM_DESTROY:
            CloseDropDown(*obj);
            break;
        case EX_WM_PAINT:
            if (obj->Painter() != nullptr)
                Paint(*obj, *obj->Painter());
            return 0;
        default:
            break;
    }
    return Ex_ObjDefProc(window, object, message, wParam, lParam);
}

void InitCombo(Object& obj) {
    auto st = std::make_unique<ComboState>();
    st->editable = (obj.Style() & EX_CBS_EDITABLE) != 0;
    auto* raw = st.get();
    obj.SetClassState(std::move(st));
    if (raw->editable) {
        const RectF size = obj.ClientRect();
        raw->edit =
            Ex_ObjCreateEx(-1, u"Edit", obj.Text().c_str(), EX_OS_VISIBLE, 0, 0,
                           std::max(0, static_cast<int>(size.Width()) - ArrowWidth),
                           static_cast<int>(size.Height()), obj.Handle(), 0, -1, 0, 0, nullptr);
        Ex_ObjSetColor(raw->edit, EX_COLOR_BACKGROUND, 0, 0);
    }
}

}  // namespace

void RegisterComboBoxClass() {
    RegisterDropDownClass();
    RegisterBuiltinClass(BuiltinClass{u"combobox",
                                      EX_OS_VISIBLE | EX_CBS_EDITABLE,
                                      0,
                                      EX_DT_VCENTER | EX_DT_SINGLELINE,
                                      &ComboProc,
                                      &InitCombo,
                                      0,
                                      {{EX_COLOR_BACKGROUND, 0xFFFFFFFF},
                                       {EX_COLOR_BORDER, 0xFFABADB3},
                                       {EX_COLOR_TEXT, 0xFF000000}}});
}

}  // namespace exdui
