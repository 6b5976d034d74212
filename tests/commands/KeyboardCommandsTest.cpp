#include "CommandFixture.h"
#include "app/commands/KeyCodes.h"

namespace ocuvis {
namespace {

using KeyboardTest = CommandFixture;
using key::Plain;
using key::WithShift;

TEST(KeyCodes, ModifiersAddOneTermOnly) {
    // The key, its modifiers and the code; Shift+comma arrives as '<' and is still the comma key.
    const std::tuple<Qt::Key, Qt::KeyboardModifiers, int> cases[] = {
        {Qt::Key_A, Qt::ControlModifier | Qt::ShiftModifier, 2065},
        {Qt::Key_Shift, Qt::NoModifier, 1016},
        {Qt::Key_Control, Qt::NoModifier, 2017},
        {Qt::Key_Alt, Qt::NoModifier, 3018},
        {Qt::Key_F12, Qt::ShiftModifier, 1123},
        {Qt::Key_Less, Qt::ShiftModifier, 1188},
        {Qt::Key_Down, Qt::NoModifier, 40}};
    for (const auto& [qtKey, modifiers, code] : cases)
        EXPECT_EQ(KeyCode(VirtualKeyFromQt(qtKey), modifiers), code) << code;
    EXPECT_EQ(VirtualKeyFromQt(Qt::Key_5, Qt::KeypadModifier), 101);
}

// Each key from the default view with one value set first: where that value ends up, and the
// frames it costs. Values at a bar's end stay; only the offset bars beep there.
TEST_F(KeyboardTest, EachKeyMovesItsValueOnce) {
    using V = GraphViewState;
    const struct {
        int code;
        std::int32_t V::*value;
        int start;
        int expected;
        int frames;
    } cases[] = {{118, &V::elevation, 180, -179, 1},  // F7 and F8 run the arrows' handlers
                 {1118, &V::elevation, 0, -1, 1},        {119, &V::azimuth, 180, -179, 1},
                 {1119, &V::azimuth, -180, 179, 1},      {112, &V::xRangePosition, 21, 20, 1},
                 {113, &V::xRangePosition, 77, 77, 0},   {114, &V::yRangePosition, 0, 0, 0},
                 {115, &V::yRangePosition, 21, 22, 1},   {117, &V::zRangePosition, 21, 22, 1},
                 {1112, &V::xOffsetPosition, 0, -1, 1},  {1113, &V::xOffsetPosition, 20, 20, 0},
                 {1115, &V::yOffsetPosition, 0, 1, 1},   {1116, &V::zOffsetPosition, -40, -40, 0},
                 {1117, &V::zOffsetPosition, 39, 40, 1}, {70, &V::gridThickness, 0, 1, 1},
                 {1071, &V::gridThickness, 7, 0, 1},     {76, &V::linesPixelItem, 0, 1, 1},
                 {83, &V::rotateSpeedIndex, 7, 8, 0},    {1083, &V::rotateSpeedIndex, 11, 0, 0},
                 {1065, &V::yRangePosition, 30, 21, 1}};
    for (const auto& c : cases) {
        view = GraphViewState{};
        view.*c.value = c.start;
        EXPECT_EQ(FramesFrom([&] { keys.FormKeyDown(c.code); }), c.frames) << c.code;
        EXPECT_EQ(view.*c.value, c.expected) << c.code;
    }
    EXPECT_EQ(feedback.beeps, (std::vector<BeepKind>{BeepKind::Hand, BeepKind::Hand}));
}

// X and Y toggle the rotations; an arrow stops its own axis, an unknown key both.
TEST_F(KeyboardTest, RotationKeysTheStatusAndTheKeysOutsideTheTable) {
    keys.FormKeyDown(89);
    keys.FormKeyDown(1088);
    EXPECT_TRUE(view.rotateAzimuth && view.rotateElevation);
    keys.FormKeyDown(40);
    EXPECT_FALSE(view.rotateElevation);
    EXPECT_TRUE(view.rotateAzimuth);
    keys.FormKeyDown(37);
    EXPECT_FALSE(view.rotateAzimuth);

    view.rotateAzimuth = view.rotateElevation = true;
    keys.FormKeyDown(WithShift(vk::Shift));  // a modifier alone stops nothing
    EXPECT_EQ(host.status, "Key Code = 1016");
    EXPECT_TRUE(view.rotateAzimuth && view.rotateElevation);
    keys.FormKeyDown(Plain(vk::Function(8)));
    EXPECT_EQ(host.status, "Key Code = 39");  // F8 runs the whole handler again as the arrow
    keys.FormKeyDown(2065);                   // Ctrl+Shift+A is not A: no auto scale
    EXPECT_FALSE(view.rotateAzimuth || view.rotateElevation);
    EXPECT_EQ(view.elevation, -1);
    keys.FormKeyDown(27);
    EXPECT_EQ(host.closes, 1);
}

TEST_F(KeyboardTest, PerspectiveKeysMultiplyTheUnboundedDistance) {
    keys.FormKeyDown(122);
    keys.FormKeyDown(1188);
    EXPECT_EQ(view.z0, static_cast<float>(static_cast<float>(16.0f * 1.1) * 1.1));
    view.z0 = 16.0f;
    EXPECT_EQ(FramesFrom([&] { keys.FormKeyDown(190); }), 1);
    EXPECT_EQ(view.z0, static_cast<float>(16.0L / 1.1L));
    for (int i = 0; i < 300; ++i)
        keys.FormKeyDown(188);
    EXPECT_GT(view.z0, 1e12f);
}

}  // namespace
}  // namespace ocuvis
