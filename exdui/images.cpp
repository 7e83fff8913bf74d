#include "images.h"

#include <span>
#include <string_view>

#include "handle_table.h"
#include "marshal.h"

namespace exdui {

ImageRef ImageFromHandle(ExHandle handle) {
    return handles::SharedAs<const backend::Image>(handle, Kind::Image);
}

ImageRef ImageListImage(ExHandle list, int32_t index) {
    auto l = handles::SharedAs<ImageList>(list, Kind::ImageList);
    if (!l || index < 1) {
        return nullptr;
    }
    std::lock_guard lock(l->mu);
    auto i = static_cast<size_t>(index - 1);
    return i < l->images.size() ? l->images[i] : nullptr;
}

ExHandle AddImage(const ImageRef& image) {
    if (!image) {
        return 0;
    }
    return handles::AddShared(Kind::Image, std::const_pointer_cast<backend::Image>(image));
}

namespace {

int32_t IconPixels(int32_t sizeClass) {
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
    return AddImage(
        backend::GetGraphics().DecodeImage(std::span(static_cast<const std::byte*>(data), length)));
}

EXDUI_API ExHandle _img_createfromhicon(const void* icon) {
    return AddImage(backend::GetGraphics().NativeIcon(icon));
}

EXDUI_API ExHandle _img_createfromfileicon(const char16_t* path, int32_t sizeClass) {
    if (path == nullptr) {
        return 0;
    }
    return marshal::Call(
        [&] {
            return AddImage(
                backend::GetGraphics().FileIcon(std::u16string_view(path), IconPixels(sizeClass)));
        },
        ExHandle{0});
}

EXDUI_API int _img_getsize(ExHandle image, int32_t* width, int32_t* height) {
    auto img = ImageFromHandle(image);
    if (!img) {
        return 0;
    }
    if (width != nullptr) {
        *width = img->Width();
    }
    if (height != nullptr) {
        *height = img->Height();
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
    list->width = width;
    list->height = height;
    return handles::AddShared(Kind::ImageList, list);
}

EXDUI_API int32_t _imglist_addimage(ExHandle list, int32_t index, ExHandle image) {
    auto l = handles::SharedAs<ImageList>(list, Kind::ImageList);
    auto img = ImageFromHandle(image);
    if (!l || !img) {
        return 0;
    }
    ImageRef copy = img->Width() == l->width && img->Height() == l->height
                        ? img
                        : img->ScaledToFit(l->width, l->height);
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
