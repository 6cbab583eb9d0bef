#include "render/Display.h"
#include "app/World.h"
#include "tests/TraceCapture.h"
#include "tests/support/Expected.h"
#include "tests/support/RecordingGl.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(Display, FrameTracesClearsDrawsEverySpringAndPresents) {
    const std::vector<std::string> calls = expected::callsOfFrame(world.body);
    ASSERT_EQ(calls.size(), 1 + expected::springCount * 8 + 2u);
    EXPECT_EQ(calls[5], "glVertex3f(-1.75,-0.75,-0.5)");
    EXPECT_EQ(calls[6], "glVertex3f(-1.25,-0.75,-0.5)");

    for (int frame = 0; frame < 2; ++frame) {
        recordedCalls().clear();
        TraceCapture trace;
        display();
        EXPECT_EQ(trace.text(), expected::frameTrace());
        EXPECT_EQ(recordedCalls(), calls) << "frame " << frame;
    }
}

TEST(Display, WibbleWithoutSpringsDrawsNothing) {
    recordedCalls().clear();
    TraceCapture trace;
    Wibble().drawSprings();
    EXPECT_EQ(trace.text(), expected::springsTrace(0));
    EXPECT_TRUE(recordedCalls().empty());
}

} // namespace
