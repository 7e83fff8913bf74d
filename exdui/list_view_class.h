// What the "ListView" and "ReportListView" classes share on the library
// side: the per-object state that binds a list's core and its frame (rows,
// header, scroll bars) to its Object, the host that turns the core's requests
// into notifications, and the messages both classes answer. UI thread only, like
// every class procedure.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "exdui.h"
#include "list_view_core.h"
#include "list_view_frame.h"
#include "object.h"
#include "report_list_core.h"

namespace exdui {

// EX_OS_HSCROLL without the C cast of its macro (warned about in C++).
inline constexpr int32_t ListStyleHScroll = static_cast<int32_t>(0x80000000u);

// Notifications of one list object: -97 for the row height, -12 for each row,
// -2, -3 and -5 for the mouse. Paints on the object's own canvas handle, bound
// to the list's painter while its rows are painted.
class ListObjectHost final : public ListViewHost {
  public:
    explicit ListObjectHost(Object& obj);
    ~ListObjectHost() override;
    ListObjectHost(const ListObjectHost&) = delete;
    ListObjectHost& operator=(const ListObjectHost&) = delete;

    // The report list's image list (0: none); row images index into it from 1.
    // Destroyed with the host unless the style shares it.
    ExHandle ImageList() const { return m_imageList; }
    void SetImageList(ExHandle list) { m_imageList = list; }

    std::int32_t MeasureRowHeight(std::int32_t width, std::int32_t height) override;
    void BeginDraw(backend::Painter& painter) override;
    void EndDraw(backend::Painter& painter) override;
    void DrawRow(backend::Painter& painter, const ListRowPaint& row) override;
    void RowEvent(ListRowEvent what, std::int32_t row, ExPoint pos) override;
    void ColumnClick(std::int32_t column) override;
    std::shared_ptr<const backend::Image> RowImage(std::int32_t index) override;
    bool MultiSelect(bool fallback) override;
    ListColours Colours(const ListColours& fallback) override;
    // Asks the owner with EX_LVN_GETINFOTIP.
    std::u16string RowTip(std::int32_t row, const ListTip& tip) override;

  private:
    Object& m_obj;
    ExHandle m_canvas = 0;  // Bound only between BeginDraw and EndDraw.
    ExHandle m_imageList = 0;
};

// The class state of both list classes: the host, and the frame that shows
// the core over the object and owns it.
class ListState final : public ClassState {
  public:
    ListState(Object& obj, std::unique_ptr<ListViewCore> core);
    ~ListState() override;
    ListState(const ListState&) = delete;
    ListState& operator=(const ListState&) = delete;

    ListFrame& Frame() const { return *m_frame; }
    ListViewCore& List() const { return m_frame->Core(); }
    ReportListCore* Report() const { return m_frame->Report(); }  // null for a "ListView"
    ListObjectHost& Host() { return m_host; }
    Object& Owner() const { return m_obj; }

    // Fits the frame to the object and applies the style's scroll bars and
    // grid lines.
    void Fit();
    void ApplyStyle();

  private:
    Object& m_obj;
    ListObjectHost m_host;
    std::unique_ptr<ListFrame> m_frame;
};

// Makes the state of a list object over core: shared part of both classes' init.
void InitListObject(Object& obj, std::unique_ptr<ListViewCore> core);

// The list state behind an object handle, or null.
ListState* ListStateOf(ExHandle object);

// Row number of the messages (from 1) to the widget's (from 0); -1 when out
// of the int range or below 1.
std::int32_t RowIndex(intptr_t row);

// Answers the messages both list classes share. True when the message was
// one of them; *result then holds its result. Some (EX_WM_SIZE) return false
// after acting so that the default procedure sees them too.
bool HandleCommonListMessage(ListState& state, int32_t message, intptr_t wParam, intptr_t lParam,
                             intptr_t* result);

// Registration of the report list, called by RegisterListClasses.
void RegisterReportListClass();

}  // namespace exdui
