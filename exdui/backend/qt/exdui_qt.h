// C++ only: the Qt side of exdui handles, for embedding and for tests.
#pragma once

#include <Qt>
#include <functional>

#include "exdui.h"

class QMimeData;
class QWidget;

// The QWidget of a window or surface handle: the window all its objects are
// drawn in (UI thread only; null for anything else, objects included).
EXDUI_API QWidget* ExQtWidget(ExHandle handle);

// What Ex_ObjDoDragDrop does with a drag instead of running the system's drag
// session: given the source widget, the drag's data and the actions allowed,
// it returns the action a target took. Tests look at the data through it, as
// the offscreen platform has no drag session. UI thread only; an empty
// function brings the system's session back.
using ExQtDragHandler =
    std::function<Qt::DropAction(QWidget* source, const QMimeData& data, Qt::DropActions allowed)>;
EXDUI_API void ExQtSetDragHandler(ExQtDragHandler handler);
