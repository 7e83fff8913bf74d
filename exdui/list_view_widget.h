// The Qt side of both list classes: shows a ListViewCore (a ReportListCore
// with its header) on a QAbstractScrollArea whose scroll bars mirror the
// core's scroll ranges, and turns the area's events into the core's neutral
// input. (QListView relays out every row on a count change: 21-28 ms at 1M
// rows; the core does not.)
//
// UI thread only.
#pragma once

#include <QAbstractScrollArea>
#include <cstdint>
#include <functional>
#include <memory>

#include "list_view_class.h"
#include "list_view_core.h"
#include "report_list_core.h"

namespace exdui {

class ListHeaderWidget;

class ListViewWidget final : public QAbstractScrollArea, public ListSurface, public ListFrame {
  public:
    ListViewWidget(QWidget* parent, std::unique_ptr<ListViewCore> core);
    ~ListViewWidget() override;
    ListViewWidget(const ListViewWidget&) = delete;
    ListViewWidget& operator=(const ListViewWidget&) = delete;

    ListViewCore& Core() const override { return *m_core; }
    ReportListCore* Report() const override { return m_report; }
    void Fit() override;
    void Show() override { show(); }
    void ShowScrollBars(bool vertical, bool horizontal) override;
    ExPoint ToClient(ExPoint viewPos) const override;
    void SetOnGone(std::function<void()> gone) override { m_gone = std::move(gone); }

    ExPoint ViewSize() const override;
    void InvalidateView() override;
    void InvalidateRect(const ExRect& rect) override;
    void InvalidateHeader() override;
    void ScrollRangeChanged() override;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    bool viewportEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void changeEvent(QEvent* event) override;

  private:
    // Places the header over the viewport.
    void LayoutHeader();
    void FontChanged();

    std::unique_ptr<ListViewCore> m_core;
    ReportListCore* m_report = nullptr;  // m_core, when it is a report list
    ListHeaderWidget* m_header = nullptr;
    std::function<void()> m_gone;
    // Set while the scroll bars take the core's values: their moves are the
    // core's own then.
    bool m_syncing = false;
};

}  // namespace exdui
