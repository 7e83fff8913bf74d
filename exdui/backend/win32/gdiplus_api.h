// GDI+ with the Windows headers it needs before it, in the order that
// sorting the includes would otherwise undo.
#pragma once

// clang-format off
#include <windows.h>
#include <gdiplus.h>
// clang-format on
