// Dragging data out of an object (Ex_ObjDoDragDrop) through the back end's
// drag session.
#include <optional>
#include <vector>

#include "backend/drag_source.h"
#include "marshal.h"
#include "native_views.h"
#include "object.h"
#include "stand_ins.h"

namespace exdui {
namespace {

constexpr uint32_t KnownEffects = EX_DROPEFFECT_COPY | EX_DROPEFFECT_MOVE | EX_DROPEFFECT_LINK;

// The caller's formats, copied; nothing when there are none or one has no
// type or misses its data.
std::optional<std::vector<backend::DataFormat>> CopyFormats(const ExDragFormat* formats,
                                                            int32_t count) {
    if (formats == nullptr || count <= 0) {
        return std::nullopt;
    }
    std::vector<backend::DataFormat> copies;
    copies.reserve(static_cast<size_t>(count));
    for (int32_t i = 0; i < count; ++i) {
        const ExDragFormat& format = formats[i];
        if (format.mimeType == nullptr || format.mimeType[0] == '\0' ||
            (format.data == nullptr && format.length != 0)) {
            return std::nullopt;
        }
        const char* bytes = static_cast<const char*>(format.data);
        copies.push_back(backend::DataFormat{
            format.mimeType, bytes != nullptr ? std::string(bytes, format.length) : std::string()});
    }
    return copies;
}

// What the stand-in's target took, as far as the source allowed it.
int32_t StandInDrop(ExHandle source, const std::vector<backend::DataFormat>& formats,
                    uint32_t effects) {
    std::vector<inject::DragData> data;
    data.reserve(formats.size());
    for (const backend::DataFormat& format : formats) {
        data.push_back({format.mimeType, format.bytes});
    }
    const int32_t taken = DragOutStandIn()(source, data, effects);
    return (static_cast<uint32_t>(taken) & ~effects) == 0 ? taken : EX_DROPEFFECT_NONE;
}

}  // namespace
}  // namespace exdui

using namespace exdui;

extern "C" EXDUI_API int32_t Ex_ObjDoDragDrop(ExHandle object, const ExDragFormat* formats,
                                              int32_t count, uint32_t effects) {
    if (!marshal::IsUiThread()) {
        return EX_DROPEFFECT_NONE;
    }
    try {
        Object* obj = ObjectFromHandle(object);
        if (obj == nullptr || obj->destroyed || obj->destroying || (effects & KnownEffects) == 0) {
            return EX_DROPEFFECT_NONE;
        }
        backend::NativeView* source = NativeViewOf(*obj);
        const std::optional<std::vector<backend::DataFormat>> data = CopyFormats(formats, count);
        if (source == nullptr || !data) {
            return EX_DROPEFFECT_NONE;
        }
        if (DragOutStandIn()) {
            return StandInDrop(object, *data, effects & KnownEffects);
        }
        return backend::RunDrag(source, *data, effects & KnownEffects);
    } catch (...) {
        return EX_DROPEFFECT_NONE;
    }
}
