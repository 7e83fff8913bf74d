#include "object_widget.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QHelpEvent>
#include <QMimeData>
#include <QPainter>
#include <QUrl>
#include <algorithm>
#include <cstring>

#include "backend/qt/qt_keys.h"
#include "backend/qt/qt_painter.h"
#include "handle_table.h"
#include "marshal.h"
#include "object.h"
#include "object_access.h"

namespace exdui {

ObjectWidget::ObjectWidget(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_Hover, false);
}

ObjectWidget::~ObjectWidget() {
    delete m_obj;
}

Object* ObjectWidget::Live() const {
    return m_detached ? nullptr : m_obj;
}

bool ObjectWidget::event(QEvent* event) {
    // The pointer rests: the object may show a tooltip of its own there (a
    // list row's) before the one set on the object.
    if (event->type() == QEvent::ToolTip) {
        if (Object* obj = Live()) {
            const auto* help = static_cast<QHelpEvent*>(event);
            if (obj->Send(MsgPointerRest, PackPoint(help->globalX(), help->globalY()),
                          PackPoint(help->x(), help->y())) != 0) {
                return true;
            }
        }
    }
    return QWidget::event(event);
}

void ObjectWidget::paintEvent(QPaintEvent*) {
    Object* obj = Live();
    if (obj == nullptr) {
        return;
    }
    QPainter painter(this);
    backend::qt::QtPainter canvas(painter);
    obj->BeginPaint(&canvas);
    obj->Send(EX_WM_ERASEBKGND, obj->CanvasHandle(), 0);
    // A procedure may have destroyed the object while painting.
    if (Live() != nullptr) {
        canvas.Save();
        obj->Send(EX_WM_PAINT, 0, 0);
        canvas.Restore();
    }
    obj->EndPaint();
}

void ObjectWidget::resizeEvent(QResizeEvent*) {
    if (Object* obj = Live()) {
        obj->Send(EX_WM_SIZE, 0, PackPoint(width(), height()));
    }
}

void ObjectWidget::moveEvent(QMoveEvent*) {
    if (Object* obj = Live()) {
        obj->Send(EX_WM_MOVE, 0, PackPoint(x(), y()));
    }
}

bool ObjectWidget::Mouse(QMouseEvent* event, int32_t message) {
    Object* obj = Live();
    if (obj == nullptr) {
        event->ignore();
        return false;
    }
    QPoint pos = event->position().toPoint();
    obj->Send(message, MouseKeys(event->buttons(), event->modifiers()),
              PackPoint(pos.x(), pos.y()));
    // Labels, frames and pages let presses through so the window below can
    // start a drag; everything else keeps them.
    if (Live() != nullptr && obj->MouseTransparent()) {
        event->ignore();
        return false;
    }
    event->accept();
    return true;
}

void ObjectWidget::mousePressEvent(QMouseEvent* event) {
    Object* obj = Live();
    if (obj != nullptr && obj->Focusable()) {
        obj->FocusInput();
    }
    if (event->button() == Qt::LeftButton) {
        Mouse(event, EX_WM_LBUTTONDOWN);
    } else if (event->button() == Qt::RightButton) {
        Mouse(event, EX_WM_RBUTTONDOWN);
    } else {
        event->ignore();
    }
}

void ObjectWidget::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        Mouse(event, EX_WM_LBUTTONUP);
    } else if (event->button() == Qt::RightButton) {
        Mouse(event, EX_WM_RBUTTONUP);
    } else {
        event->ignore();
    }
}

void ObjectWidget::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        Mouse(event, EX_WM_LBUTTONDBLCLK);
    } else {
        event->ignore();
    }
}

void ObjectWidget::mouseMoveEvent(QMouseEvent* event) {
    Mouse(event, EX_WM_MOUSEMOVE);
}

void ObjectWidget::wheelEvent(QWheelEvent* event) {
    Object* obj = Live();
    if (obj == nullptr) {
        event->ignore();
        return;
    }
    int delta = event->angleDelta().y();
    intptr_t wParam = static_cast<intptr_t>(
        (static_cast<uint32_t>(static_cast<uint16_t>(delta)) << 16) |
        static_cast<uint32_t>(MouseKeys(event->buttons(), event->modifiers())));
    QPoint pos = event->position().toPoint();
    if (obj->Send(EX_WM_MOUSEWHEEL, wParam, PackPoint(pos.x(), pos.y())) != 0) {
        event->accept();
    } else {
        event->ignore();
    }
}

void ObjectWidget::enterEvent(QEnterEvent*) {
    if (Object* obj = Live()) {
        obj->Send(EX_WM_MOUSEHOVER, 0, 0);
    }
}

void ObjectWidget::leaveEvent(QEvent*) {
    if (Object* obj = Live()) {
        obj->Send(EX_WM_MOUSELEAVE, 0, 0);
    }
}

void ObjectWidget::keyPressEvent(QKeyEvent* event) {
    Object* obj = Live();
    if (obj == nullptr) {
        event->ignore();
        return;
    }
    intptr_t handled = obj->Send(EX_WM_KEYDOWN, VirtualKey(event->key()),
                                 MouseKeys(Qt::NoButton, event->modifiers()));
    for (QChar c : event->text()) {
        if (Live() != nullptr && c.isPrint()) {
            obj->Send(EX_WM_CHAR, c.unicode(), 0);
        }
    }
    event->setAccepted(handled != 0);
}

void ObjectWidget::keyReleaseEvent(QKeyEvent* event) {
    if (Object* obj = Live()) {
        obj->Send(EX_WM_KEYUP, VirtualKey(event->key()), 0);
    }
    event->ignore();
}

void ObjectWidget::focusInEvent(QFocusEvent*) {
    if (Object* obj = Live()) {
        obj->Send(EX_WM_SETFOCUS, 0, 0);
    }
}

void ObjectWidget::focusOutEvent(QFocusEvent*) {
    if (Object* obj = Live()) {
        obj->Send(EX_WM_KILLFOCUS, 0, 0);
    }
}

namespace {

QStringList LocalFiles(const QMimeData* mime) {
    QStringList names;
    if (mime == nullptr || !mime->hasUrls()) {
        return names;
    }
    for (const QUrl& url : mime->urls()) {
        if (url.isLocalFile()) {
            names.push_back(url.toLocalFile());
        }
    }
    return names;
}

}  // namespace

void ObjectWidget::dragEnterEvent(QDragEnterEvent* event) {
    if (!LocalFiles(event->mimeData()).isEmpty()) {
        event->acceptProposedAction();
    } else {
        event->ignore();
    }
}

void ObjectWidget::dragMoveEvent(QDragMoveEvent* event) {
    if (!LocalFiles(event->mimeData()).isEmpty()) {
        event->acceptProposedAction();
    } else {
        event->ignore();
    }
}

void ObjectWidget::dropEvent(QDropEvent* event) {
    Object* obj = Live();
    if (obj != nullptr && DeliverDrop(*obj, event->mimeData())) {
        event->acceptProposedAction();
    } else {
        event->ignore();
    }
}

bool DeliverDrop(Object& obj, const QMimeData* mime) {
    QStringList names = LocalFiles(mime);
    if (names.isEmpty()) {
        return false;
    }
    // The drop handle lives for the duration of the message only.
    ExHandle drop = handles::AddRaw(Kind::Drop, &names);
    obj.Send(EX_WM_DROPFILES, drop, 0);
    handles::Remove(drop);
    return true;
}

}  // namespace exdui

// The names of the files a drop brought (dropEvent above makes the handle).
extern "C" EXDUI_API uint32_t Ex_DropQueryFile(intptr_t drop, uint32_t index, char16_t* buffer,
                                               uint32_t capacity) {
    if (drop <= 0 || drop > INT32_MAX) {
        return 0;
    }
    return exdui::marshal::Call(
        [&]() -> uint32_t {
            auto* names =
                exdui::handles::RawAs<QStringList>(static_cast<ExHandle>(drop), exdui::Kind::Drop);
            if (names == nullptr) {
                return 0;
            }
            if (index == 0xFFFFFFFFu) {
                return static_cast<uint32_t>(names->size());
            }
            if (index >= static_cast<uint32_t>(names->size())) {
                return 0;
            }
            const QString& name = (*names)[static_cast<qsizetype>(index)];
            auto length = static_cast<uint32_t>(name.size());
            if (buffer == nullptr || capacity == 0) {
                return length;
            }
            uint32_t n = std::min(length, capacity - 1);
            std::memcpy(buffer, name.utf16(), n * sizeof(char16_t));
            buffer[n] = 0;
            return n;
        },
        uint32_t{0});
}
