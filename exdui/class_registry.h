// The class table: built-in classes and those registered with Ex_ObjRegister.
// UI thread only. Records are never freed while the library runs, so objects
// may keep a reference to theirs.
#pragma once

#include <string_view>

#include "object.h"

namespace exdui {

// Registers the built-in classes (Ex_Init).
void RegisterBuiltinClasses();
// Drops every class (Ex_UnInit).
void ClearClasses();
// Names match whatever their case (folded as the system folds class names).
const ClassRecord* FindClass(std::u16string_view name);
bool SameClassName(std::u16string_view a, std::u16string_view b);
// False when the name is empty or taken.
bool AddClass(ClassRecord record);
// The built-in implementation named by a class's flags, or null.
const BuiltinClass* BaseFromFlags(int32_t flags);

// The built-in classes of this library, one file each.
void RegisterStaticClass();
void RegisterEditClass();
void RegisterComboBoxClass();
void RegisterProgressBarClass();
void RegisterGroupBoxClass();
void RegisterRadioButtonClass();

}  // namespace exdui
