#include "ui/texts.h"

#include "copylist/list_status.h"

namespace cj::ui {

std::string FoundText(std::size_t count) {
    return "找到：" + std::to_string(count) + " 个文件";
}

std::string AddedCountText(std::size_t count) {
    return "添加：" + std::to_string(count) + "个文件";
}

std::string FreeSpaceText(double megabytes) {
    return "磁盘可用空间：" + copylist::FigureText(megabytes) + " MB";
}

std::string ListSizeText(double megabytes) {
    return "列表占用空间：" + copylist::FigureText(megabytes) + " MB";
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

std::string FolderMissingText(std::string_view folder) {
    return "无法打开目录 " + std::string(folder) + "，索引保持不变";
}

std::string FilterMatchedNothingText(std::string_view filter, std::uint64_t filesSeen) {
    return "文件类型“" + std::string(filter) + "”没有匹配任何文件（共找到 " +
           std::to_string(filesSeen) + " 个文件）";
}

std::string LeftOutText(std::uint64_t unreadableFolders, std::uint64_t tooLong,
                        std::uint64_t unstorableNames) {
    if (unreadableFolders + tooLong + unstorableNames == 0) {
        return {};
    }
    std::string text = "索引已更新，未收录：";
    const auto part = [&text](std::uint64_t count, std::string_view what) {
        if (count > 0) {
            text += std::string(what) + " " + std::to_string(count) + " 个，";
        }
    };
    part(unreadableFolders, "无法读取的文件夹");
    part(tooLong, "路径过长");
    part(unstorableNames, "名称无法保存");
    text.resize(text.size() - std::string_view("，").size());
    return text;
}

std::string RefreshFailedText(std::string_view path, std::error_code error) {
    std::string text = "索引更新失败（";
    text += FailureReasonText(error);
    text += "）：";
    text += path;
    return text;
}

}  // namespace cj::ui
