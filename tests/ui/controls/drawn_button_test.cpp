#include "ui/controls/drawn_button.h"

#include "controls_fixture.h"

namespace cj::ui {
namespace {

using test::Area;
using test::ControlsTest;
using test::Opaque;
using test::SameColour;

constexpr ExArgb Normal = 0xFF3060A0;
constexpr ExArgb Hover = 0xFF30A060;
constexpr ExArgb Pressed = 0xFFA03060;

int clicks = 0;
intptr_t CountClick(ExHandle, std::int32_t, std::int32_t, intptr_t, intptr_t) {
    ++clicks;
    return 0;
}

class DrawnButtonTest : public ControlsTest {
  protected:
    DrawnButton MakeButton(int radius, std::span<const std::uint8_t> image = {},
                           std::string title = {}, bool imageAbove = false) {
        DrawnButton button;
        DrawnButtonDescription d;
        d.parent = Surface();
        d.id = 1001;
        d.title = std::move(title);
        d.normal = Normal;
        d.hover = Hover;
        d.pressed = Pressed;
        d.radius = radius;
        d.image = image;
        d.imageAbove = imageAbove;
        d.x = 20;
        d.y = 30;
        d.width = 120;
        d.height = 60;
        EXPECT_TRUE(button.Create(d));
        return button;
    }
};

TEST_F(DrawnButtonTest, BackgroundFollowsThePointerAndPressedWinsOverHover) {
    const DrawnButton button = MakeButton(0);
    clicks = 0;
    button.OnEvent(EX_NM_CLICK, CountClick);
    const ExHandle b = button.Handle();

    EXPECT_TRUE(SameColour(Pixel(b, 60, 30), Opaque(Normal)));
    MoveTo(b, 60, 30);
    EXPECT_TRUE(SameColour(Pixel(b, 60, 30), Opaque(Hover)));
    Press(b, 60, 30);
    ASSERT_NE(Ex_ObjGetLong(b, EX_OL_STATE) & EX_STATE_HOVER, 0) << "still hovered";
    EXPECT_TRUE(SameColour(Pixel(b, 60, 30), Opaque(Pressed))) << "pressed wins over hover";
    Release(b, 60, 30);
    EXPECT_TRUE(SameColour(Pixel(b, 60, 30), Opaque(Hover)));
    EXPECT_EQ(clicks, 1);
    MoveAway();
    EXPECT_TRUE(SameColour(Pixel(b, 60, 30), Opaque(Normal)));
}

TEST_F(DrawnButtonTest, RadiusZeroPaintsSquareCornersAndARadiusRoundsThem) {
    const DrawnButton square = MakeButton(0);
    EXPECT_TRUE(SameColour(Pixel(square.Handle(), 0, 0), Opaque(Normal)));
    EXPECT_TRUE(SameColour(Pixel(square.Handle(), 119, 59), Opaque(Normal)));

    square.SetRadius(13);
    EXPECT_TRUE(SameColour(Pixel(square.Handle(), 0, 0), Opaque(WindowBackground)));
    EXPECT_TRUE(SameColour(Pixel(square.Handle(), 119, 59), Opaque(WindowBackground)));
    EXPECT_TRUE(SameColour(Pixel(square.Handle(), 60, 0), Opaque(Normal))) << "edges stay filled";
}

TEST_F(DrawnButtonTest, ImageWithoutTitleIsCentred) {
    const auto png = test::SolidPng(21, 21, 0xFFFFFF00);
    const DrawnButton button = MakeButton(0, png);
    const ExPoint origin = Origin(button.Handle());
    const Area bounds = test::BoundsOf(Grab(), 0xFFFFFF00, {origin.x, origin.y, 120, 60});
    EXPECT_EQ(bounds, (Area{origin.x + (120 - 21) / 2, origin.y + (60 - 21) / 2, 21, 21}));
}

TEST_F(DrawnButtonTest, ImageAboveOrLeftOfTheTitleSitsWhereTheLayoutPutsIt) {
    const auto png = test::SolidPng(21, 21, 0xFFFFFF00);
    const DrawnButton above = MakeButton(0, png, "更新缓存", true);
    float tw = 0;
    float th = 0;
    ASSERT_TRUE(_canvas_calctextsize(
        0, Ex_ObjGetFont(above.Handle()), u"更新缓存", -1,
        static_cast<std::int32_t>(Ex_ObjGetLong(above.Handle(), EX_OL_TEXTFORMAT)), 120, 60, &tw,
        &th));
    ASSERT_GT(tw, 0);
    const ExPoint origin = Origin(above.Handle());
    const Area button{origin.x, origin.y, 120, 60};
    Area bounds = test::BoundsOf(Grab(), 0xFFFFFF00, button);
    EXPECT_EQ(bounds.x, origin.x + (120 - 21) / 2);
    EXPECT_EQ(bounds.y, origin.y + static_cast<int>((60 - (21 + th + 3)) / 2));

    above.SetImage({});
    EXPECT_TRUE(test::BoundsOf(Grab(), 0xFFFFFF00, button).Empty()) << "an empty image removes it";

    Ex_ObjSetLong(above.Handle(), DrawnButton::ImageAbove, 0);
    above.SetImage(png);
    bounds = test::BoundsOf(Grab(), 0xFFFFFF00, button);
    EXPECT_EQ(bounds.x, origin.x + static_cast<int>((120 - (21 + tw + 5)) / 2));
    EXPECT_EQ(bounds.y, origin.y + (60 - 21) / 2);
}

TEST_F(DrawnButtonTest, UndecodableImageIsStoredAsNone) {
    const std::uint8_t junk[] = {0x89, 'P', 'N', 'G', 0, 1, 2, 3};
    const DrawnButton button = MakeButton(3, junk);
    EXPECT_EQ(Ex_ObjGetLong(button.Handle(), DrawnButton::Image), 0);
    EXPECT_TRUE(SameColour(Pixel(button.Handle(), 60, 30), Opaque(Normal)));
}

TEST_F(DrawnButtonTest, SetBackgroundsKeepsWhatIsNotGiven) {
    const DrawnButton button = MakeButton(0);
    button.SetBackgrounds({}, 0xFF112233);
    EXPECT_EQ(static_cast<ExArgb>(Ex_ObjGetLong(button.Handle(), DrawnButton::Normal)), Normal);
    EXPECT_EQ(static_cast<ExArgb>(Ex_ObjGetLong(button.Handle(), DrawnButton::Hover)), 0xFF112233u);
    EXPECT_EQ(static_cast<ExArgb>(Ex_ObjGetLong(button.Handle(), DrawnButton::Pressed)), Pressed);
    MoveTo(button.Handle(), 10, 10);
    EXPECT_TRUE(SameColour(Pixel(button.Handle(), 60, 30), Opaque(0xFF112233)));
}

TEST_F(DrawnButtonTest, OmittedColoursTakeTheDefaults) {
    DrawnButton button;
    DrawnButtonDescription d;
    d.parent = Surface();
    d.title = "浏览";
    d.width = 60;
    d.height = 30;
    ASSERT_TRUE(button.Create(d));
    EXPECT_EQ(static_cast<ExArgb>(Ex_ObjGetLong(button.Handle(), DrawnButton::Normal)),
              0x640088FFu);
    EXPECT_EQ(static_cast<ExArgb>(Ex_ObjGetLong(button.Handle(), DrawnButton::Hover)), 0x960088FFu);
    EXPECT_EQ(static_cast<ExArgb>(Ex_ObjGetLong(button.Handle(), DrawnButton::Pressed)),
              0xFA0088FFu);
    EXPECT_EQ(Ex_ObjGetColor(button.Handle(), EX_COLOR_TEXT), 0xFF000000u);
    EXPECT_EQ(button.GetText(), "浏览");
}

}  // namespace
}  // namespace cj::ui
