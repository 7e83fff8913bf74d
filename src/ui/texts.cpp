#include "ui/texts.h"

namespace cj::ui {

std::string FoundText(std::size_t count) {
    return "找到：" + std::to_string(count) + " 个文件";
}

std::string RefreshFailedText(std::string_view path, std::error_code error) {
    std::string text = "索引更新失败：";
    text += path;
    if (error) {
        text += "（";
        text += error.message();
        text += "）";
    }
    return text;
}

}  // namespace cj::ui
