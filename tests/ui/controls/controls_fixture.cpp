#include "controls_fixture.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <iomanip>

namespace cj::ui::test {
namespace {

namespace inject = exdui::inject;

constexpr int WindowWidth = 480;
constexpr int WindowHeight = 360;

void PutBigEndian(std::vector<std::uint8_t>& out, std::uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) {
        out.push_back(static_cast<std::uint8_t>(value >> shift));
    }
}

std::uint32_t Crc32(const std::uint8_t* data, std::size_t size) {
    static const std::array<std::uint32_t, 256> table = [] {
        std::array<std::uint32_t, 256> t{};
        for (std::uint32_t n = 0; n < 256; ++n) {
            std::uint32_t c = n;
            for (int k = 0; k < 8; ++k) {
                c = (c & 1) != 0 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            }
            t[n] = c;
        }
        return t;
    }();
    std::uint32_t crc = 0xFFFFFFFFu;
    for (std::size_t i = 0; i < size; ++i) {
        crc = table[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
    }
    return crc ^ 0xFFFFFFFFu;
}

// A PNG chunk: length, type, data and the CRC of type and data.
void PutChunk(std::vector<std::uint8_t>& out, const char (&type)[5],
              const std::vector<std::uint8_t>& data) {
    PutBigEndian(out, static_cast<std::uint32_t>(data.size()));
    const std::size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    PutBigEndian(out, Crc32(out.data() + start, out.size() - start));
}

}  // namespace

void PrintTo(const Area& area, std::ostream* out) {
    *out << "(" << area.x << ", " << area.y << ") " << area.width << "x" << area.height;
}

void ControlsTest::SetUp() {
    ASSERT_TRUE(Ex_Init(nullptr, 0, 0, nullptr, nullptr, 0, nullptr, 0));
    m_window = Ex_WndCreate(0, nullptr, u"controls", 0, 0, WindowWidth, WindowHeight, 0, 0);
    ASSERT_NE(m_window, 0);
    m_surface = Ex_DUIBindWindowEx(m_window, nullptr, 0, 0, nullptr);
    ASSERT_NE(m_surface, 0);
    Ex_DUISetLong(m_surface, EX_DUI_BACKGROUND, static_cast<intptr_t>(WindowBackground));
    Ex_DUIShowWindow(m_surface, EX_SW_SHOW, 0, 0, 0);
    // Shown, and the events of its showing run: the window takes input now.
    ASSERT_TRUE(inject::RunEventsUntil([this] { return Ex_WndIsVisible(m_window) != 0; }));
    inject::RunEvents(0);
}

void ControlsTest::TearDown() {
    Ex_UnInit();
}

ExPoint ControlsTest::Origin(ExHandle object) {
    return inject::PointIn(object, 0, 0);
}

inject::Snapshot ControlsTest::Grab() const {
    return inject::Grab(m_window);
}

ExArgb ControlsTest::Pixel(ExHandle object, int x, int y) const {
    const ExPoint origin = Origin(object);
    return Grab().At(origin.x + x, origin.y + y);
}

void ControlsTest::MoveTo(ExHandle object, int x, int y) const {
    inject::MouseMove(m_window, inject::PointIn(object, x, y));
}

void ControlsTest::Press(ExHandle object, int x, int y) const {
    inject::MouseDown(m_window, inject::PointIn(object, x, y));
}

void ControlsTest::Release(ExHandle object, int x, int y) const {
    inject::MouseUp(m_window, inject::PointIn(object, x, y));
}

void ControlsTest::Click(ExHandle object, int x, int y) const {
    MoveTo(object, x, y);
    Press(object, x, y);
    Release(object, x, y);
}

void ControlsTest::MoveAway() const {
    inject::MouseMove(m_window, {WindowWidth - 2, WindowHeight - 2});
}

// An RGBA image of 8 bits a channel, each row after its filter byte (none),
// in a zlib stream of stored blocks: what every PNG reader decodes.
std::vector<std::uint8_t> SolidPng(int width, int height, ExArgb colour) {
    std::vector<std::uint8_t> raw;
    for (int y = 0; y < height; ++y) {
        raw.push_back(0);
        for (int x = 0; x < width; ++x) {
            for (const int shift : {16, 8, 0, 24}) {
                raw.push_back(static_cast<std::uint8_t>(colour >> shift));
            }
        }
    }
    std::vector<std::uint8_t> zlib = {0x78, 0x01};
    std::size_t at = 0;
    do {
        const std::size_t size = std::min<std::size_t>(raw.size() - at, 0xFFFF);
        zlib.push_back(at + size == raw.size() ? 1 : 0);  // the last block?
        for (const std::uint16_t half :
             {static_cast<std::uint16_t>(size), static_cast<std::uint16_t>(~size)}) {
            zlib.push_back(static_cast<std::uint8_t>(half));
            zlib.push_back(static_cast<std::uint8_t>(half >> 8));
        }
        zlib.insert(zlib.end(), raw.begin() + static_cast<std::ptrdiff_t>(at),
                    raw.begin() + static_cast<std::ptrdiff_t>(at + size));
        at += size;
    } while (at < raw.size());
    std::uint32_t a = 1;
    std::uint32_t b = 0;
    for (const std::uint8_t byte : raw) {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    PutBigEndian(zlib, (b << 16) | a);

    std::vector<std::uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<std::uint8_t> header;
    PutBigEndian(header, static_cast<std::uint32_t>(width));
    PutBigEndian(header, static_cast<std::uint32_t>(height));
    header.insert(header.end(), {8, 6, 0, 0, 0});  // 8 bits, RGBA, deflate, no filter, no interlace
    PutChunk(png, "IHDR", header);
    PutChunk(png, "IDAT", zlib);
    PutChunk(png, "IEND", {});
    return png;
}

ExArgb Over(ExArgb fg, ExArgb bg) {
    const double a = (fg >> 24) / 255.0;
    auto mix = [a](ExArgb f, ExArgb b, int shift) {
        const double fc = (f >> shift) & 0xFF;
        const double bc = (b >> shift) & 0xFF;
        return static_cast<ExArgb>(fc * a + bc * (1 - a) + 0.5) << shift;
    };
    return 0xFF000000u | mix(fg, bg, 16) | mix(fg, bg, 8) | mix(fg, bg, 0);
}

::testing::AssertionResult SameColour(ExArgb actual, ExArgb expected) {
    bool near = true;
    for (const int shift : {16, 8, 0}) {
        const int got = static_cast<int>((actual >> shift) & 0xFF);
        const int want = static_cast<int>((expected >> shift) & 0xFF);
        near = near && std::abs(got - want) <= 2;
    }
    if (near) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure()
           << std::hex << std::setfill('0') << "got #" << std::setw(6) << (actual & 0xFFFFFF)
           << ", expected #" << std::setw(6) << (expected & 0xFFFFFF);
}

Area BoundsOf(const inject::Snapshot& image, ExArgb colour, const Area& area) {
    int left = area.x + area.width;
    int top = area.y + area.height;
    int right = area.x - 1;
    int bottom = area.y - 1;
    for (int y = area.y; y < area.y + area.height; ++y) {
        for (int x = area.x; x < area.x + area.width; ++x) {
            if (image.At(x, y) == colour) {
                left = std::min(left, x);
                top = std::min(top, y);
                right = std::max(right, x);
                bottom = std::max(bottom, y);
            }
        }
    }
    return right < left ? Area{} : Area{left, top, right - left + 1, bottom - top + 1};
}

}  // namespace cj::ui::test
