#include "ui/band_layout.h"

#include <algorithm>

namespace cj::ui {
namespace {

// The window's minimise, maximise and close buttons take the band's top right
// corner, 3 × 32 by 26 pixels; a little margin keeps texts off them.
constexpr int WindowButtonsWidth = 3 * 32 + 4;
constexpr int WindowButtonsBottom = 26;
constexpr int EdgeMargin = 8;
constexpr int SelectorRight = PageSelectorX + PageCount * PageItemWidth;
constexpr int Gap = 10;

constexpr int SearchBoxY = 20;
constexpr int SearchBoxHeight = 30;
constexpr int BatchGap = 5;
constexpr int BatchWidth = 42;
// The status texts start this far right of the keyword box's right edge.
constexpr int StatusOffset = 50;
constexpr int StatusWidth = 200;
constexpr int StatusY = 10;
constexpr int AddedCountY = 32;
constexpr int StatusHeight = 20;
constexpr int UpdateCacheWidth = 100;
// The report button sits on the added count's line, after its longest text.
constexpr int CopyReportOffset = 130;
constexpr int CopyReportWidth = 80;
constexpr int DirectCopyBarY = 57;

}  // namespace

BandLayout LayOutBand(int width, bool noticeShown, bool reportShown) {
    BandLayout band;
    // What the status line may reach: the window's buttons share its line.
    const int topRight = width - WindowButtonsWidth;
    int boxWidth = BandSearchBoxWidth;
    int boxX = (width - boxWidth) / 2;
    int statusX = boxX + boxWidth + StatusOffset;
    int statusRight = statusX + StatusWidth;
    const bool wide = boxX >= SelectorRight + Gap && statusRight + UpdateCacheWidth <= topRight;
    if (wide) {
        band.updateCache = {statusRight, 15, UpdateCacheWidth, 40};
    } else {
        // Under the window's buttons, down to the band's bottom edge.
        band.updateCache = {width - EdgeMargin - UpdateCacheWidth, WindowButtonsBottom + 4,
                            UpdateCacheWidth, 28};
        statusRight = band.updateCache.x - 4;
        const int left = SelectorRight + Gap;
        const int room = statusRight - left - StatusOffset;  // For the box and the status.
        boxWidth = std::clamp(room - StatusWidth, BandSearchBoxMinWidth, BandSearchBoxWidth);
        const int statusWidth = std::max(0, std::min(StatusWidth, room - boxWidth));
        // As near the centre as the status texts let it be.
        boxX = std::max(left, std::min((width - boxWidth) / 2,
                                       statusRight - statusWidth - StatusOffset - boxWidth));
        statusX = boxX + boxWidth + StatusOffset;
    }
    band.searchBox = {boxX, SearchBoxY, boxWidth, SearchBoxHeight};
    band.batchButton = {band.searchBox.Right() + BatchGap, SearchBoxY, BatchWidth, SearchBoxHeight};
    const int statusWidth = std::max(0, statusRight - statusX);
    const int noticeWidth = std::max(statusWidth, topRight - statusX);
    band.status = {statusX, StatusY, noticeShown ? noticeWidth : statusWidth, StatusHeight};
    band.addedCount = {statusX, AddedCountY,
                       reportShown ? std::min(statusWidth, CopyReportOffset - 4) : statusWidth,
                       StatusHeight};
    band.copyReport = {statusX + CopyReportOffset, AddedCountY, CopyReportWidth, StatusHeight};
    band.directCopyBar = {boxX, DirectCopyBarY, boxWidth, 3};
    return band;
}

}  // namespace cj::ui
