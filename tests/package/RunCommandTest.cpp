// The run command on a machine without a display: its own X server, a
// screenshot of the frame the window shows, and the viewer's own exit status.
#include "tests/e2e/Picture.h"
#include "tests/e2e/ViewerProcess.h"
#include "tests/package/Shell.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#ifndef WIBBLE_SOURCE_DIR
#error "WIBBLE_SOURCE_DIR names the folder of the run command"
#endif

namespace {

TEST(RunCommand, WithoutADisplaySavesTheShownFrameAndEndsWithTheViewersStatus) {
    const std::string screenshot = temporaryFolder("run-command") + "/wibble.png";
    const CommandResult run =
        runCommand("cd " WIBBLE_SOURCE_DIR " && env -u DISPLAY SCREENSHOT=" + screenshot +
                   " bash scripts/run.sh");
    ASSERT_EQ(run.status, 0) << run.output;
    EXPECT_NE(run.output.find(traceOfFrames(1)), std::string::npos) << run.output;

    std::ifstream file(screenshot, std::ios::binary);
    const std::string png{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    EXPECT_EQ(pictureFaults(imageOfPng(png), projectedSprings(300, 300)), "");
}

} // namespace
