// Dragging data out of an object (Ex_ObjDoDragDrop): a QDrag carrying the
// caller's formats, or a test's stand-in or drag handler in its place.
#include <QDrag>
#include <QMimeData>
#include <QWidget>
#include <memory>
#include <string>
#include <vector>

#include "exdui_qt.h"
#include "marshal.h"
#include "object.h"
#include "stand_ins.h"

namespace exdui {
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

// The formats as one QMimeData; null when a format has no type or its data
// is missing.
std::unique_ptr<QMimeData> MakeData(const ExDragFormat* formats, int32_t count) {
    if (formats == nullptr || count <= 0) {
        return nullptr;
    }
    auto data = std::make_unique<QMimeData>();
    for (int32_t i = 0; i < count; ++i) {
        const ExDragFormat& format = formats[i];
        if (format.mimeType == nullptr || format.mimeType[0] == '\0' ||
            (format.data == nullptr && format.length != 0)) {
            return nullptr;
        }
        data->setData(QString::fromLatin1(format.mimeType),
                      QByteArray(static_cast<const char*>(format.data),
                                 static_cast<qsizetype>(format.length)));
    }
    return data;
}

// What the stand-in's target took, as far as the source allowed it.
int32_t StandInDrop(ExHandle source, const ExDragFormat* formats, int32_t count, uint32_t effects) {
    std::vector<inject::DragData> data;
    for (int32_t i = 0; i < count; ++i) {
        const auto* bytes = static_cast<const char*>(formats[i].data);
        data.push_back({formats[i].mimeType, formats[i].length == 0
                                                 ? std::string()
                                                 : std::string(bytes, formats[i].length)});
    }
    const int32_t taken = DragOutStandIn()(source, data, effects);
    return (static_cast<uint32_t>(taken) & ~effects) == 0 ? taken : EX_DROPEFFECT_NONE;
}

}  // namespace
}  // namespace exdui

using namespace exdui;

EXDUI_API void ExQtSetDragHandler(ExQtDragHandler handler) {
    if (marshal::IsUiThread()) {
        DragHandler() = std::move(handler);
    }
}

extern "C" EXDUI_API int32_t Ex_ObjDoDragDrop(ExHandle object, const ExDragFormat* formats,
                                              int32_t count, uint32_t effects) {
    if (!marshal::IsUiThread()) {
        return EX_DROPEFFECT_NONE;
    }
    try {
        Object* obj = ObjectFromHandle(object);
        const Qt::DropActions allowed = ToActions(effects);
        if (obj == nullptr || obj->destroyed || obj->destroying || obj->Widget() == nullptr ||
            allowed == Qt::IgnoreAction) {
            return EX_DROPEFFECT_NONE;
        }
        std::unique_ptr<QMimeData> data = MakeData(formats, count);
        if (data == nullptr) {
            return EX_DROPEFFECT_NONE;
        }
        if (DragOutStandIn()) {
            return StandInDrop(object, formats, count, effects);
        }
        if (const ExQtDragHandler& handler = DragHandler()) {
            return ToEffect(handler(obj->Widget(), *data, allowed));
        }
        // Qt deletes the drag when it ends; the drag owns the data.
        auto* drag = new QDrag(obj->Widget());
        drag->setMimeData(data.release());
        const Qt::DropAction preferred =
            allowed.testFlag(Qt::CopyAction) ? Qt::CopyAction : Qt::IgnoreAction;
        return ToEffect(drag->exec(allowed, preferred));
    } catch (...) {
        return EX_DROPEFFECT_NONE;
    }
}
