// What the viewer does wherever it runs: its trace, its picture, its answer to
// input and its end, checked from outside through the X server it shows on.
#include "tests/e2e/Picture.h"
#include "tests/e2e/ViewerTest.h"

#include <gtest/gtest.h>

namespace {

TEST_P(EveryPlatform, TracesStartUpAndExactlyOneFrameForEachRepaint) {
    ViewerProcess viewer(server.display(), GetParam()->options());
    ViewerWindow window = windowOnceDrawn(viewer);
    window.expose();
    ASSERT_TRUE(viewer.waitForFrames(2)) << viewer.trace();
    closeAndExpectSuccess(viewer, window);
    EXPECT_EQ(viewer.trace(), expected::traceOfFrames(2));
}

TEST_P(EveryPlatform, ShowsTheTurnedLatticeStretchedOverTheWindow) {
    ViewerProcess viewer(server.display(), GetParam()->options());
    ViewerWindow window = windowOnceDrawn(viewer);
    const int size = expected::windowSize;
    const ViewerWindow::Image square = awaitPicture(window, size, size);
    EXPECT_EQ(pictureFaults(square, size, size), "");
    // The comparison is sharp enough to see a turn one degree off.
    EXPECT_NE(pictureFaults(square, size, size, 14), "");

    window.resize(480, 200);
    ASSERT_TRUE(viewer.waitForFrames(2)) << viewer.trace();
    EXPECT_EQ(pictureFaults(awaitPicture(window, 480, 200), 480, 200), "");
    closeAndExpectSuccess(viewer, window);
}

TEST_P(EveryPlatform, ClicksAndKeysWriteNothingOfTheirOwn) {
    ViewerProcess viewer(server.display(), GetParam()->options());
    ViewerWindow window = windowOnceDrawn(viewer);
    clickAndType(window);
    closeAndExpectSuccess(viewer, window);
    // A window system may repaint a window that a click activates, but every
    // frame it asks for is whole.
    EXPECT_EQ(viewer.trace(), expected::traceOfFrames(expected::framesIn(viewer.trace())));
}

TEST_P(ExitPath, ClosingTheWindowRunsTheTerminationHandlers) {
    ViewerProcess viewer(server.display(), GetParam()->options());
    ViewerWindow window = windowOnceDrawn(viewer);
    closeAndExpectSuccess(viewer, window);
    EXPECT_EQ(viewer.trace(), expected::traceOfFrames(1) + "exit mark: termination handlers ran\n");
}

} // namespace
