// The wrappers that only forward to the library's own classes: edit box,
// label, progress bar, combo box, group box and radio button. Each Create
// makes the object with the class's creation defaults and returns whether the
// library made it; on failure the wrapper holds 0.
//
// Descriptions are read during Create only. Rectangles are relative to the
// parent, in pixels; colours ARGB; texts narrow.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ui/controls/control.h"

namespace cj::ui {

inline constexpr ExArgb OpaqueBlack = 0xFF000000;

struct EditBoxDescription {
    ExHandle parent = 0;
    int id = 0;
    int x = 0, y = 0, width = 0, height = 0;
    std::string text{};
    // Style choices; with none of them the class's default style is used.
    int scrollBars = 0;  // 1 vertical, 2 horizontal, 3 both.
    bool readOnly = false;
    bool password = false;
    bool multiLine = false;  // Line breaks typed or pasted stay; the text scrolls.
    // Extended style choices; with neither the class's default.
    bool acceptFiles = false;      // Dropped files reach its procedure.
    bool drawnFrameStyle = false;  // 0xD8000000, the style of the window's edit boxes.
    std::optional<std::int32_t> textFormat{};
    ExArgb textColour = OpaqueBlack;
    ExObjProc procedure = nullptr;
};

class EditBox : public Control {
  public:
    bool Create(const EditBoxDescription& d);
};

struct LabelDescription {
    ExHandle parent = 0;
    int id = 0;
    int x = 0, y = 0, width = 0, height = 0;
    std::string text{};
    ExArgb textColour = OpaqueBlack;
    std::optional<std::int32_t> textFormat{};  // EX_DT_* bits; default the class's.
    ExObjProc procedure = nullptr;
};

class Label : public Control {
  public:
    bool Create(const LabelDescription& d);
    // Sets the text; when the label is too narrow for it (a label whose text
    // format has EX_DT_END_ELLIPSIS then ends it in "…"), the whole text
    // becomes its tooltip, else it has none.
    void SetTextWithTip(std::string_view text) const;
    // Checks again after the label changed its width.
    void RefreshTip() const;
    // Whether the label is narrower than its text.
    bool IsTextCut() const;
};

struct ProgressBarDescription {
    ExHandle parent = 0;
    int id = 0;
    int x = 0, y = 0, width = 0, height = 0;
    ExArgb background = 0x32000000;
    ExArgb border = 0x32000000;
    ExArgb fill = 0x960088FF;  // The part done.
    int maximum = 100;
    int position = 0;
};

class ProgressBar : public Control {
  public:
    bool Create(const ProgressBarDescription& d);
    // Safe from any thread: the library keeps only the latest position while
    // one update is on its way to the UI thread.
    void SetPosition(int value) const;
    void SetMaximum(int value) const;
};

struct ComboBoxDescription {
    ExHandle parent = 0;
    int id = 0;
    int x = 0, y = 0, width = 0, height = 0;
    std::string text{};
    bool editable = true;  // false: the text can only be chosen from the items.
    std::optional<ExArgb> textColour{};
};

// Item indexes count from 1; 0 means none.
class ComboBox : public Control {
  public:
    bool Create(const ComboBoxDescription& d);
    void AddItems(const std::vector<std::string>& texts) const;
    // Inserts before item index (0 or past the end: appends).
    void InsertItem(int index, std::string_view text) const;
    // Empties the items; the text field keeps its text.
    void ClearItems() const;
    // Chooses an item and shows its text; raises no selection notification.
    void SelectItem(int index) const;
    int ItemCount() const;
    int CurrentItem() const;
    std::string ItemText(int index) const;
};

struct GroupBoxDescription {
    ExHandle parent = 0;
    int id = 0;
    int x = 0, y = 0, width = 0, height = 0;
    std::string title{};
    ExArgb textColour = OpaqueBlack;
    ExArgb border = 0x1E000000;
    ExArgb background = 0x00FFFFFF;
};

class GroupBox : public Control {
  public:
    bool Create(const GroupBoxDescription& d);
};

struct RadioButtonDescription {
    ExHandle parent = 0;  // Radio buttons of one parent exclude each other.
    int id = 0;
    int x = 0, y = 0, width = 0, height = 0;
    std::string title{};
    // The title's colour in the normal, hover, pressed and checked states;
    // each omitted one keeps the class's.
    std::optional<ExArgb> textColour{}, hoverTextColour{};
    std::optional<ExArgb> pressedTextColour{}, checkedTextColour{};
};

class RadioButton : public Control {
  public:
    bool Create(const RadioButtonDescription& d);
    // Checking raises the same check notification (EX_NM_CHECK) as a click.
    void SetChecked(bool on) const;
    bool IsChecked() const;
};

}  // namespace cj::ui
