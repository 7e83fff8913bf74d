#include "ui/controls/control.h"

#include <vector>

#include "controls_fixture.h"

namespace cj::ui {
namespace {

using test::ControlsTest;

class ControlTest : public ControlsTest {};

// Hears the clicks of whatever it is bound to, by the control's id.
struct ClickLog {
    std::vector<std::int32_t> ids;
    intptr_t OnClick(const ControlEvent& event) {
        ids.push_back(event.id);
        return 0;
    }
};

// BindEvent once kept its owner in the control's one user slot, so the last
// owner bound took every owner's events, and a procedure that kept its own
// pointer in that slot read the owner as its own and drew from it.
TEST_F(ControlTest, OwnersBoundToOneControlEachHearItAndTheUserSlotStaysTheMakers) {
    const Control control(CreateObject(-1, u"STATIC", "标签", -1, 10, 10, 120, 30, Surface(), 7));
    ASSERT_NE(control.Handle(), 0);
    Ex_ObjSetLong(control.Handle(), EX_OL_USERDATA, 1234);
    ClickLog first;
    ClickLog second;
    BindEvent<&ClickLog::OnClick>(control, EX_NM_CLICK, first);
    BindEvent<&ClickLog::OnClick>(control, EX_NM_CLICK, second);

    Click(control.Handle(), 60, 15);
    EXPECT_EQ(first.ids, std::vector<std::int32_t>{7});
    EXPECT_EQ(second.ids, std::vector<std::int32_t>{7});
    EXPECT_EQ(Ex_ObjGetLong(control.Handle(), EX_OL_USERDATA), 1234);
}

}  // namespace
}  // namespace cj::ui
