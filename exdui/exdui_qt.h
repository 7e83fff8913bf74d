// C++ only: the Qt side of exdui handles, for embedding and for tests.
#pragma once

#include "exdui.h"

class QWidget;

// The QWidget behind a window, surface or object handle (UI thread only;
// null for anything else).
EXDUI_API QWidget* ExQtWidget(ExHandle handle);
