// The Qt side of the "ListView" class: shows a ListViewCore on a
// QAbstractScrollArea whose scroll bars mirror the core's scroll ranges, and
// turns the area's events into the core's neutral input.
// (QListView relays out every row on a count change: 21-28 ms at 1M rows.)
//
// Rows are numbered from 0 here. UI thread only.
#pragma once

#include <QAbstractScrollArea>
#include <cstdint>

#include "list_view_core.h"

namespace exdui {

class ListViewWidget : public QAbstractScrollArea, public ListViewCore {
  public:
    explicit ListViewWidget(QWidget* parent = nullptr);

  protected:
    // Called after the geometry of the viewport or of the scroll bars changed.
    virtual void LayoutChanged() {}

    ExPoint ViewSize() const override;
    void InvalidateView() override;
    void InvalidateRect(const ExRect& rect) override;
    void ScrollRangeChanged() override;

    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    bool viewportEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    // Set while the scroll bars take the core's values: their moves are the
    // core's own then.
    bool m_syncing = false;
};

}  // namespace exdui
