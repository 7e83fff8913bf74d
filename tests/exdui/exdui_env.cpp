#include "exdui_env.h"

#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <array>
#include <cstdlib>
#include <string>
#include <vector>

namespace exdui::test {
namespace {

class ExduiEnvironment : public ::testing::Environment {
  public:
    void SetUp() override {
#ifndef _WIN32
        // The tests drive real windows without a display.
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
        std::string runtime = "/tmp/exdui-test-runtime-" + std::to_string(getuid());
        mkdir(runtime.c_str(), 0700);
        setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
#endif
        ASSERT_TRUE(Ex_Init(nullptr, 0x800102, 0, nullptr, nullptr, 0, nullptr, 0));
    }
    void TearDown() override {
        Ex_UnInit();
    }
};

[[maybe_unused]] ::testing::Environment* const g_env =
    ::testing::AddGlobalTestEnvironment(new ExduiEnvironment);

void AppendBigEndian(std::string& out, uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) {
        out.push_back(static_cast<char>((value >> shift) & 0xFF));
    }
}

uint32_t Crc32(const std::string& bytes) {
    uint32_t crc = 0xFFFFFFFFu;
    for (const char c : bytes) {
        crc ^= static_cast<uint8_t>(c);
        for (int bit = 0; bit < 8; ++bit) {
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
        }
    }
    return ~crc;
}

void AppendChunk(std::string& png, const char* type, const std::string& data) {
    AppendBigEndian(png, static_cast<uint32_t>(data.size()));
    const std::string typed = type + data;
    png += typed;
    AppendBigEndian(png, Crc32(typed));
}

}  // namespace

TestWindow::TestWindow(int width, int height, int32_t style, ExWndProc proc, ExArgb background) {
    m_window = Ex_WndCreate(0, nullptr, u"test", 0, 0, width, height, 0, 0);
    m_surface = Ex_DUIBindWindowEx(m_window, nullptr, style, 0, proc);
    Ex_DUISetLong(m_surface, -31, static_cast<intptr_t>(background));
    Ex_DUIShowWindow(m_surface, 5, 0, 0, 0);
    inject::RunEvents(1);
}

TestWindow::~TestWindow() {
    if (Ex_DUIGetWindow(m_surface) != 0) {
        Ex_WndSendMessage(m_window, EX_WM_CLOSE, 0, 0);
    }
    inject::RunEvents(1);
}

int Gray(ExArgb colour) {
    const auto red = static_cast<int>((colour >> 16) & 0xFF);
    const auto green = static_cast<int>((colour >> 8) & 0xFF);
    const auto blue = static_cast<int>(colour & 0xFF);
    return (red * 11 + green * 16 + blue * 5) / 32;
}

std::u16string Text(ExHandle object) {
    size_t length = Ex_ObjGetTextLength(object);
    std::vector<char16_t> buffer(length + 1);
    size_t n = Ex_ObjGetText(object, buffer.data(), buffer.size() * sizeof(char16_t));
    return std::u16string(buffer.data(), n);
}

std::string SolidPng(int width, int height, ExArgb colour) {
    // Rows of RGBA pixels, each after its filter byte (0, none), in stored
    // deflate blocks: no compression is needed to make a valid image.
    const std::array<char, 4> rgba{
        static_cast<char>((colour >> 16) & 0xFF), static_cast<char>((colour >> 8) & 0xFF),
        static_cast<char>(colour & 0xFF), static_cast<char>(colour >> 24)};
    std::string raw;
    for (int y = 0; y < height; ++y) {
        raw.push_back('\0');
        for (int x = 0; x < width; ++x) {
            raw.append(rgba.data(), rgba.size());
        }
    }
    std::string zlib = "\x78\x01";
    constexpr size_t MaxBlock = 0xFFFF;
    for (size_t at = 0; at < raw.size(); at += MaxBlock) {
        const size_t n = std::min(MaxBlock, raw.size() - at);
        zlib.push_back(at + n == raw.size() ? '\1' : '\0');
        for (const size_t half : {n, ~n & 0xFFFF}) {
            zlib.push_back(static_cast<char>(half & 0xFF));
            zlib.push_back(static_cast<char>((half >> 8) & 0xFF));
        }
        zlib.append(raw, at, n);
    }
    uint32_t a = 1;
    uint32_t b = 0;
    for (const char c : raw) {
        a = (a + static_cast<uint8_t>(c)) % 65521;
        b = (b + a) % 65521;
    }
    AppendBigEndian(zlib, (b << 16) | a);

    std::string header;
    AppendBigEndian(header, static_cast<uint32_t>(width));
    AppendBigEndian(header, static_cast<uint32_t>(height));
    header += std::string("\x08\x06\x00\x00\x00", 5);  // 8-bit RGBA, no interlace
    std::string png = "\x89PNG\r\n\x1A\n";
    AppendChunk(png, "IHDR", header);
    AppendChunk(png, "IDAT", zlib);
    AppendChunk(png, "IEND", "");
    return png;
}

}  // namespace exdui::test
