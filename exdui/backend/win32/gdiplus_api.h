// GDI+ with the Windows headers it needs before it (COM's, which
// WIN32_LEAN_AND_MEAN leaves out of windows.h), in the order that sorting
// the includes would otherwise undo.
#pragma once

// clang-format off
#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>
// clang-format on
