#include "images.h"

#include <QBuffer>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QIcon>

#include "canvas.h"
#include "handle_table.h"
#include "marshal.h"

namespace exdui {

std::shared_ptr<const Image> ImageFromHandle(ExHandle handle) {
    return handles::SharedAs<const Image>(handle, Kind::Image);
}

QImage ImageListImage(ExHandle list, int32_t index) {
    auto l = handles::SharedAs<ImageList>(list, Kind::ImageList);
    if (!l || index < 1) {
        return {};
    }
    std::lock_guard lock(l->mu);
    auto i = static_cast<size_t>(index - 1);
    return i < l->images.size() ? l->images[i] : QImage();
}

QSize ImageListSize(ExHandle list) {
    auto l = handles::SharedAs<ImageList>(list, Kind::ImageList);
    return l ? l->size : QSize();
}

ExHandle AddImage(const QImage& image) {
    if (image.isNull()) {
        return 0;
    }
    auto img = std::make_shared<Image>();
    img->image = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    return handles::AddShared(Kind::Image, img);
}

namespace {

QImage IconImage(const QIcon& icon, int size) {
    if (icon.isNull()) {
        return {};
    }
    QSize actual = icon.actualSize(QSize(size, size));
    return icon.pixmap(actual.isEmpty() ? QSize(size, size) : actual).toImage();
}

int IconPixels(int32_t sizeClass) {
    switch (sizeClass) {
        case 0:
            return 16;
        case 1:
            return 32;
        case 3:
            return 256;
        default:
            return 48;
    }
}

}  // namespace
}  // namespace exdui

using namespace exdui;

extern "C" {

EXDUI_API ExHandle _img_createfrommemory(const void* data, size_t length) {
    if (data == nullptr || length == 0 || length > static_cast<size_t>(INT32_MAX)) {
        return 0;
    }
    QImage image;
    if (!image.loadFromData(static_cast<const uchar*>(data), static_cast<int>(length))) {
        return 0;
    }
    return AddImage(image);
}

EXDUI_API ExHandle _img_createfromhicon(const void* icon) {
#if defined(Q_OS_WIN)
    if (icon == nullptr) {
        return 0;
    }
    // GDI copies the icon's bitmaps: no pixmap, so any thread may do it.
    return AddImage(QImage::fromHICON(static_cast<HICON>(const_cast<void*>(icon))));
#else
    // Only Windows has icon handles; the caller's pointer is not read.
    (void)icon;
    return 0;
#endif
}

EXDUI_API ExHandle _img_createfromfileicon(const char16_t* path, int32_t sizeClass) {
    if (path == nullptr) {
        return 0;
    }
    return marshal::Call(
        [&] {
            QFileIconProvider provider;
            QIcon icon = provider.icon(QFileInfo(FromUtf16(path)));
            return AddImage(IconImage(icon, IconPixels(sizeClass)));
        },
        ExHandle{0});
}

EXDUI_API int _img_getsize(ExHandle image, int32_t* width, int32_t* height) {
    auto img = ImageFromHandle(image);
    if (!img) {
        return 0;
    }
    if (width != nullptr) {
        *width = img->image.width();
    }
    if (height != nullptr) {
        *height = img->image.height();
    }
    return 1;
}

EXDUI_API int _img_destroy(ExHandle image) {
    if (!handles::IsLive(image, Kind::Image)) {
        return 0;
    }
    handles::Remove(image);
    return 1;
}

EXDUI_API ExHandle _imglist_create(int32_t width, int32_t height) {
    if (width <= 0 || height <= 0 || width > 1024 || height > 1024) {
        return 0;
    }
    auto list = std::make_shared<ImageList>();
    list->size = QSize(width, height);
    return handles::AddShared(Kind::ImageList, list);
}

EXDUI_API int32_t _imglist_addimage(ExHandle list, int32_t index, ExHandle image) {
    auto l = handles::SharedAs<ImageList>(list, Kind::ImageList);
    auto img = ImageFromHandle(image);
    if (!l || !img) {
        return 0;
    }
    QImage copy = img->image.size() == l->size
                      ? img->image
                      : img->image.scaled(l->size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    std::lock_guard lock(l->mu);
    auto count = static_cast<int32_t>(l->images.size());
    if (index < 1 || index > count) {
        l->images.push_back(std::move(copy));
        return count + 1;
    }
    l->images.insert(l->images.begin() + (index - 1), std::move(copy));
    return index;
}

EXDUI_API int32_t _imglist_count(ExHandle list) {
    auto l = handles::SharedAs<ImageList>(list, Kind::ImageList);
    if (!l) {
        return 0;
    }
    std::lock_guard lock(l->mu);
    return static_cast<int32_t>(l->images.size());
}

EXDUI_API int _imglist_destroy(ExHandle list) {
    if (!handles::IsLive(list, Kind::ImageList)) {
        return 0;
    }
    handles::Remove(list);
    return 1;
}

}  // extern "C"
