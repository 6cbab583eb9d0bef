#include "app/Input.h"
#include "app/Window.h"
#include "tests/support/RecordingGl.h"

#include <GL/glut.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct InputState {
    int width, height, x, y;
    bool left, middle, right, any;
    bool operator==(const InputState& other) const {
        return width == other.width && height == other.height && x == other.x && y == other.y &&
               left == other.left && middle == other.middle && right == other.right &&
               any == other.any;
    }
};

std::ostream& operator<<(std::ostream& out, const InputState& s) {
    return out << s.width << "x" << s.height << " at " << s.x << "," << s.y << " buttons " << s.left
               << s.middle << s.right << " any " << s.any;
}

InputState current() noexcept {
    return {windowWidth,    windowHeight,     mouseX,          mouseY,
            leftButtonDown, middleButtonDown, rightButtonDown, mouseButtonDown};
}

// Read during static initialisation, before any test has sent an event.
const InputState atStart = current();

// Each test starts from the program's first state and leaves it so, whatever
// order the tests run in.
class Input : public ::testing::Test {
protected:
    void SetUp() override { restore(atStart); }
    void TearDown() override { restore(atStart); }

    static void restore(const InputState& state) {
        windowWidth = state.width;
        windowHeight = state.height;
        mouseX = state.x;
        mouseY = state.y;
        leftButtonDown = state.left;
        middleButtonDown = state.middle;
        rightButtonDown = state.right;
        mouseButtonDown = state.any;
        recordedCalls().clear();
    }
};

TEST_F(Input, StartsWithTheDefaultWindowAndNoButtons) {
    EXPECT_EQ(atStart, (InputState{300, 300, 0, 0, false, false, false, false}));
}

TEST_F(Input, MouseButtonEventsFollowTheLatestEvent) {
    mouse(GLUT_LEFT_BUTTON, GLUT_DOWN, 10, 20);
    EXPECT_EQ(current(), (InputState{300, 300, 10, 20, true, false, false, true}));
    mouse(GLUT_MIDDLE_BUTTON, GLUT_DOWN, 30, 40);
    EXPECT_EQ(current(), (InputState{300, 300, 30, 40, false, true, false, true}));
    // Releasing the left button clears mouseButtonDown although the middle one is held.
    mouse(GLUT_LEFT_BUTTON, GLUT_UP, 50, 60);
    EXPECT_EQ(current(), (InputState{300, 300, 50, 60, false, false, false, false}));

    mouse(GLUT_RIGHT_BUTTON, GLUT_DOWN, 1, 2);
    EXPECT_EQ(current(), (InputState{300, 300, 1, 2, false, false, true, true}));
    mouse(3, GLUT_DOWN, 5, 6);
    EXPECT_EQ(current(), (InputState{300, 300, 5, 6, false, false, false, true}));
    mouse(GLUT_MIDDLE_BUTTON, 7, -8, 9);
    EXPECT_EQ(current(), (InputState{300, 300, -8, 9, false, false, false, true}));
    mouse(GLUT_RIGHT_BUTTON, GLUT_UP, 11, 12);
    EXPECT_EQ(current(), (InputState{300, 300, 11, 12, false, false, false, false}));
    mouse(-1, GLUT_UP, 13, 14);
    EXPECT_EQ(current(), (InputState{300, 300, 13, 14, false, false, false, false}));
}

TEST_F(Input, KeysAndMotionChangeNothing) {
    mouse(GLUT_LEFT_BUTTON, GLUT_DOWN, 10, 20);
    const InputState before = current();
    keyboard('q', 1, 2);
    keyboard(27, 3, 4);
    motion(100, 200);
    passiveMotion(-5, 5000);
    EXPECT_EQ(current(), before);
}

TEST_F(Input, ReshapeSetsTheViewportAndRecordsTheSize) {
    reshape(640, 480);
    EXPECT_EQ(windowWidth, 640);
    EXPECT_EQ(windowHeight, 480);
    reshape(0, 0);
    EXPECT_EQ(windowWidth, 0);
    EXPECT_EQ(windowHeight, 0);
    EXPECT_EQ(recordedCalls(),
              (std::vector<std::string>{"glViewport(0,0,640,480)", "glViewport(0,0,0,0)"}));
}

} // namespace
