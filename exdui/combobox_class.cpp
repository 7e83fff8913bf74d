// "combobox": a text with a drop-down list of items. Style bit 1 makes the
// text editable through an inner "Edit" object (found with Ex_ObjFind by
// class); without it the box only shows the chosen text. Items are numbered
// from 1, 0 meaning none. Choosing an item in the drop-down sets the text and
// raises notification 1 (a click on the item, or the keys: the arrows move in
// the open list and Enter chooses); selecting by message 334 sets the text
// quietly.
// Emptying the items (331) keeps the text, so a caller can rebuild the list
// around the title it shows.
#include <QListWidget>
#include <QMouseEvent>
#include <cstring>

#include "backend/qt/qt_font.h"
#include "class_registry.h"
#include "object_access.h"
#include "qt_text.h"

namespace exdui {
namespace {

constexpr int ArrowWidth = 24;
constexpr int TextInset = 6;
constexpr int MaxVisibleItems = 10;

struct ComboState : ClassState {
    QStringList items;
    int current = 0;
    bool editable = false;
    ExHandle edit = 0;
    QListWidget* popup = nullptr;  // a child of the object's widget, made when first needed
};

// The drop-down. A Qt::Popup closes on a press outside it in QWidget's own
// mouse handling, which a scroll area's event() never passes a press on to:
// without this the list stayed open over the window until an item was chosen.
class DropDownList : public QListWidget {
  public:
    using QListWidget::QListWidget;

  protected:
    bool event(QEvent* event) override {
        if (event->type() == QEvent::MouseButtonPress &&
            !rect().contains(static_cast<QMouseEvent*>(event)->position().toPoint())) {
            hide();
            return true;
        }
        return QListWidget::event(event);
    }
};

void SetTextQuietly(Object& obj, const QString& text) {
    std::u16string copy = text.toStdU16String();
    obj.Send(EX_WM_SETTEXT, 0, reinterpret_cast<intptr_t>(copy.c_str()));
}

void Choose(Object& obj, int index, bool notify) {
    auto* st = obj.StateAs<ComboState>();
    if (st == nullptr) {
        return;
    }
    if (index < 1 || index > st->items.size()) {
        st->current = 0;
        obj.Invalidate();
        return;
    }
    st->current = index;
    SetTextQuietly(obj, st->items[index - 1]);
    if (notify && !obj.destroyed) {
        obj.Notify(EX_CBN_SELCHANGE, index, 0);
    }
}

void OpenPopup(Object& obj) {
    auto* st = obj.StateAs<ComboState>();
    if (st == nullptr || st->items.isEmpty()) {
        return;
    }
    if (!st->popup) {
        auto* popup = new DropDownList(obj.Widget());
        popup->setWindowFlags(Qt::Popup);
        popup->setFont(backend::qt::QFontOf(obj.Font()));
        ExHandle handle = obj.Handle();
        // A click on an item or Enter on the current one chooses it; the
        // first of them closes the list, so a style that also activates on
        // a click chooses once.
        const auto choose = [handle, popup](QListWidgetItem* item) {
            if (!popup->isVisible()) {
                return;
            }
            int index = popup->row(item) + 1;
            popup->hide();
            if (Object* o = ObjectFromHandle(handle)) {
                Choose(*o, index, true);
            }
        };
        QObject::connect(popup, &QListWidget::itemClicked, popup, choose);
        QObject::connect(popup, &QListWidget::itemActivated, popup, choose);
        st->popup = popup;
    }
    QListWidget* popup = st->popup;
    popup->clear();
    popup->addItems(st->items);
    popup->setCurrentRow(st->current - 1);
    int rowHeight = std::max(popup->sizeHintForRow(0), 18);
    int rows = std::min<int>(static_cast<int>(st->items.size()), MaxVisibleItems);
    QWidget* w = obj.Widget();
    popup->setGeometry(
        QRect(w->mapToGlobal(QPoint(0, w->height())), QSize(w->width(), rows * rowHeight + 4)));
    popup->show();
    popup->setFocus();
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
    if (index < 1 || index > st.items.size()) {
        return -1;
    }
    const QString& text = st.items[index - 1];
    if (buffer != nullptr) {
        std::memcpy(buffer, text.utf16(), static_cast<size_t>(text.size()) * sizeof(char16_t));
        buffer[text.size()] = 0;
    }
    return text.size();
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
            st->items.push_back(FromUtf16(reinterpret_cast<const char16_t*>(lParam)));
            return count + 1;
        case EX_CB_INSERTSTRING: {
            if (lParam == 0)
                return 0;
            QString text = FromUtf16(reinterpret_cast<const char16_t*>(lParam));
            if (wParam < 1 || wParam > count) {
                st->items.push_back(text);
                return count + 1;
            }
            st->items.insert(wParam - 1, text);
            if (st->current >= wParam)
                ++st->current;
            return wParam;
        }
        case EX_CB_DELETESTRING:
            if (wParam < 1 || wParam > count)
                return count;
            st->items.removeAt(wParam - 1);
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
            if (!st->editable || PointX(lParam) >= obj->Widget()->width() - ArrowWidth) {
                OpenPopup(*obj);
            }
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
        QSize size = obj.Widget()->size();
        raw->edit = Ex_ObjCreateEx(-1, u"Edit", obj.Text().c_str(), EX_OS_VISIBLE, 0, 0,
                                   std::max(0, size.width() - ArrowWidth), size.height(),
                                   obj.Handle(), 0, -1, 0, 0, nullptr);
        Ex_ObjSetColor(raw->edit, EX_COLOR_BACKGROUND, 0, 0);
    }
}

}  // namespace

void RegisterComboBoxClass() {
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
