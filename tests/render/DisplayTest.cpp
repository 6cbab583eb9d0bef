#include "render/Display.h"
#include "app/World.h"
#include "tests/TraceCapture.h"
#include "tests/support/CallFormat.h"
#include "tests/support/RecordingGl.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> callsToDraw(const Spring& spring) {
    const Vector3 a = spring.nodeA.position;
    const Vector3 b = spring.nodeB.position;
    return {"glPushMatrix()",
            "glRotatef(15,1,1,0)",
            "glColor3f(1,1,1)",
            "glBegin(1)",
            formatCall("glVertex3f", a.x, a.y, a.z),
            formatCall("glVertex3f", b.x, b.y, b.z),
            "glEnd()",
            "glPopMatrix()"};
}

TEST(Display, FrameTracesClearsDrawsEverySpringAndPresents) {
    std::vector<std::string> expected{"glClear(16384)"};
    for (const Spring& spring : world.body.springs) {
        const std::vector<std::string> springCalls = callsToDraw(spring);
        expected.insert(expected.end(), springCalls.begin(), springCalls.end());
    }
    expected.insert(expected.end(), {"glutSwapBuffers()", "glFinish()"});
    ASSERT_EQ(expected.size(), 1 + 388 * 8 + 2u);
    EXPECT_EQ(expected[5], "glVertex3f(-1.75,-0.75,-0.5)");
    EXPECT_EQ(expected[6], "glVertex3f(-1.25,-0.75,-0.5)");

    for (int frame = 0; frame < 2; ++frame) {
        recordedCalls().clear();
        TraceCapture trace;
        display();
        EXPECT_EQ(trace.text(), "outputter.display \nabout to display the world\n388 springs: ");
        EXPECT_EQ(recordedCalls(), expected) << "frame " << frame;
    }
}

TEST(Display, WibbleWithoutSpringsDrawsNothing) {
    recordedCalls().clear();
    TraceCapture trace;
    Wibble().drawSprings();
    EXPECT_EQ(trace.text(), "0 springs: ");
    EXPECT_TRUE(recordedCalls().empty());
}

} // namespace
