// Where the band's controls go at a given client width. Wide windows keep the
// band's first arrangement: the keyword box centred, the status texts 50
// pixels right of it and "更新缓存" after them. Narrower ones (about 1,200
// pixels and less) put "更新缓存" under the window's own buttons and give the
// keyword box and the status texts the room between the page selector and
// it: the box shrinks down to BandSearchBoxMinWidth first, then the status
// texts, which end in "…" when cut. Nothing overlaps from the minimum window
// width (800) up. Pure arithmetic on client pixels.
#pragma once

namespace cj::ui {

// The page selector at the band's left: three items side by side.
inline constexpr int PageSelectorX = 20;
inline constexpr int PageSelectorY = 20;
inline constexpr int PageItemWidth = 100;
inline constexpr int PageItemHeight = 40;
inline constexpr int PageCount = 3;

inline constexpr int BandSearchBoxWidth = 300;
inline constexpr int BandSearchBoxMinWidth = 180;

struct BandPlace {
    int x = 0, y = 0, width = 0, height = 0;
    int Right() const { return x + width; }
    int Bottom() const { return y + height; }
};

struct BandLayout {
    BandPlace searchBox;
    BandPlace batchButton;    // "批量", right of the box.
    BandPlace status;         // "找到：…" and the notices.
    BandPlace addedCount;     // "添加：…", below the status line.
    BandPlace updateCache;    // Hidden while a notice shows.
    BandPlace copyReport;     // On the added count's line, shown with a copy's notice.
    BandPlace directCopyBar;  // The thin bar under the keyword box.
};

// noticeShown: the status line holds a notice, "更新缓存" is hidden and the
// line takes the band up to the window's buttons. reportShown: the copy
// report button shows, and the added count stops short of it.
BandLayout LayOutBand(int width, bool noticeShown, bool reportShown);

}  // namespace cj::ui
