#include "ui/texts.h"

namespace cj::ui {

std::string FoundText(std::size_t count) {
    return "找到：" + std::to_string(count) + " 个文件";
}

std::string FailureReasonText(std::error_code error) {
    if (error == std::errc::no_space_on_device || error == std::errc::file_too_large) {
        return "磁盘空间不足";
    }
    if (error == std::errc::permission_denied || error == std::errc::operation_not_permitted) {
        return "没有写入权限";
    }
    if (error == std::errc::read_only_file_system) {
        return "磁盘只读";
    }
    if (error == std::errc::no_such_file_or_directory) {
        return "找不到文件夹";
    }
    if (error == std::errc::is_a_directory) {
        return "已有同名文件夹";
    }
    return error ? error.message() : std::string("未知错误");
}

std::string RefreshFailedText(std::string_view path, std::error_code error) {
    std::string text = "索引更新失败（";
    text += FailureReasonText(error);
    text += "）：";
    text += path;
    return text;
}

}  // namespace cj::ui
