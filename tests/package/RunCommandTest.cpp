// The run command on a machine without a display: its own X server, a
// screenshot of the frame the window shows, and the viewer's own exit status.
#include "tests/e2e/Picture.h"
#include "tests/support/Expected.h"
#include "tests/support/Files.h"
#include "tests/support/Process.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#ifndef WIBBLE_SOURCE_DIR
#error "WIBBLE_SOURCE_DIR names the folder of the run command"
#endif

namespace {

CommandResult runHeadless(const std::string& screenshot,
                          const std::vector<std::string>& arguments = {}) {
    std::vector<std::string> command = {"env",
                                        "-u",
                                        "DISPLAY",
                                        "-C",
                                        WIBBLE_SOURCE_DIR,
                                        "SCREENSHOT=" + screenshot,
                                        "bash",
                                        "scripts/run.sh"};
    command.insert(command.end(), arguments.begin(), arguments.end());
    return runCommand(command);
}

// One test, since each run builds the viewer in the same folder.
TEST(RunCommand, WithoutADisplaySavesTheShownFrameOrSaysThatNoneWasShown) {
    const std::string screenshot = temporaryFolder("run-command") + "/wibble.png";
    const CommandResult run = runHeadless(screenshot);
    ASSERT_EQ(run.status, 0) << run.output;
    EXPECT_NE(run.output.find(expected::traceOfFrames(1)), std::string::npos) << run.output;
    EXPECT_EQ(
        pictureFaults(imageOfPng(textOf(screenshot)), expected::windowSize, expected::windowSize),
        "");

    // Placed off the screen, the window is never exposed, so never drawn.
    const std::string none = temporaryFolder("run-command") + "/none.png";
    const CommandResult blind = runHeadless(none, {"-geometry", "100x100+3000+3000"});
    EXPECT_NE(blind.status, 0);
    EXPECT_NE(blind.output.find("no frame was shown within 30 s"), std::string::npos)
        << blind.output;
    EXPECT_FALSE(std::ifstream(none).good());
}

} // namespace
