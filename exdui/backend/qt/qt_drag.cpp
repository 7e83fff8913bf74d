// The drag session on Qt (QDrag), or the test handler of exdui_qt.h in its
// place.
#include <QDrag>
#include <QMimeData>
#include <memory>

#include "backend/drag_source.h"
#include "backend/qt/qt_native_view.h"
#include "exdui_qt.h"
#include "marshal.h"

namespace exdui::backend {
namespace {

ExQtDragHandler& DragHandler() {
    static ExQtDragHandler handler;  // UI thread only.
    return handler;
}

Qt::DropActions ToActions(uint32_t effects) {
    Qt::DropActions actions;
    if ((effects & EX_DROPEFFECT_COPY) != 0)
        actions |= Qt::CopyAction;
    if ((effects & EX_DROPEFFECT_MOVE) != 0)
        actions |= Qt::MoveAction;
    if ((effects & EX_DROPEFFECT_LINK) != 0)
        actions |= Qt::LinkAction;
    return actions;
}

int32_t ToEffect(Qt::DropAction action) {
    switch (action) {
        case Qt::CopyAction:
            return EX_DROPEFFECT_COPY;
        case Qt::MoveAction:
        case Qt::TargetMoveAction:
            return EX_DROPEFFECT_MOVE;
        case Qt::LinkAction:
            return EX_DROPEFFECT_LINK;
        default:
            return EX_DROPEFFECT_NONE;
    }
}

std::unique_ptr<QMimeData> MakeData(const std::vector<DataFormat>& formats) {
    auto data = std::make_unique<QMimeData>();
    for (const DataFormat& format : formats) {
        data->setData(QString::fromLatin1(format.mimeType),
                      QByteArray(format.bytes.data(), static_cast<qsizetype>(format.bytes.size())));
    }
    return data;
}

}  // namespace

int32_t RunDrag(NativeView* source, const std::vector<DataFormat>& formats, uint32_t effects) {
    QWidget* widget = qt::ToWidget(source);
    const Qt::DropActions allowed = ToActions(effects);
    if (widget == nullptr || allowed == Qt::IgnoreAction) {
        return EX_DROPEFFECT_NONE;
    }
    std::unique_ptr<QMimeData> data = MakeData(formats);
    if (const ExQtDragHandler& handler = DragHandler()) {
        return ToEffect(handler(widget, *data, allowed));
    }
    // Qt deletes the drag when it ends; the drag owns the data.
    auto* drag = new QDrag(widget);
    drag->setMimeData(data.release());
    const Qt::DropAction preferred =
        allowed.testFlag(Qt::CopyAction) ? Qt::CopyAction : Qt::IgnoreAction;
    return ToEffect(drag->exec(allowed, preferred));
}

}  // namespace exdui::backend

EXDUI_API void ExQtSetDragHandler(ExQtDragHandler handler) {
    if (exdui::marshal::IsUiThread()) {
        exdui::backend::DragHandler() = std::move(handler);
    }
}
