#include "tests/e2e/ViewerTest.h"
#include "tests/e2e/Picture.h"
#include "tests/support/Files.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>

#if !defined(WIBBLE_CALL_RECORDER) || !defined(WIBBLE_LEAK_SUPPRESSIONS)
#error "WIBBLE_CALL_RECORDER names the preloadable call recorder, WIBBLE_LEAK_SUPPRESSIONS \
LeakSanitizer's suppressions"
#endif

ViewerTest::~ViewerTest() {
    for (const std::string& log : {callLog, memoryLog, valgrindLog}) {
        std::remove(log.c_str());
    }
}

ViewerProcess::Options ViewerTest::recorded(std::vector<std::string> arguments) const {
    ViewerProcess::Options options;
    options.arguments = std::move(arguments);
    // The loader splits LD_PRELOAD at spaces, with no escape, and would cut a
    // path that holds one; a bare name is looked for on LD_LIBRARY_PATH, which
    // only colons and semicolons split.
    const std::filesystem::path recorder = WIBBLE_CALL_RECORDER;
    const char* libraryPath = std::getenv("LD_LIBRARY_PATH");
    options.environment = {
        {"LD_PRELOAD", recorder.filename()},
        {"LD_LIBRARY_PATH",
         recorder.parent_path().string() + (libraryPath ? std::string(":") + libraryPath : "")},
        {"WIBBLE_CALL_LOG", callLog},
        {"WIBBLE_MEMORY_LOG", memoryLog}};
    // The recorder keeps Mesa's driver loaded, so that its blocks are named.
    options.leakSuppressions = WIBBLE_LEAK_SUPPRESSIONS;
    return options;
}

ViewerProcess::Options ViewerTest::underValgrind(std::vector<std::string> checks,
                                                 ViewerProcess::Options options) const {
    options.wrapper = {"valgrind", "--log-file=" + valgrindLog};
    options.wrapper.insert(options.wrapper.end(), checks.begin(), checks.end());
    // softpipe keeps valgrind clear of llvmpipe's generated code.
    options.environment.emplace_back("GALLIUM_DRIVER", "softpipe");
    options.patience = std::chrono::seconds(400);
    return options;
}

std::vector<std::string> ViewerTest::loggedCalls() const {
    std::ifstream log(callLog);
    std::vector<std::string> lines;
    for (std::string line; std::getline(log, line);) {
        lines.push_back(line);
    }
    return lines;
}

namespace {

std::vector<FrameMemory> memoryLogged(const std::string& log) {
    std::istringstream lines(log);
    std::vector<FrameMemory> frames;
    for (FrameMemory frame;
         lines >> frame.width >> frame.height >> frame.heapBytes >> frame.residentKiB;) {
        frames.push_back(frame);
    }
    return frames;
}

} // namespace

std::vector<FrameMemory> ViewerTest::memoryAfterFrames() const {
    return memoryLogged(textOf(memoryLog));
}

std::size_t ViewerTest::awaitFrameOfSize(int width, int height, std::size_t after,
                                         std::chrono::seconds patience) const {
    std::size_t found = 0;
    const auto drawn = [&](const std::string& log) {
        const std::vector<FrameMemory> frames = memoryLogged(log);
        for (found = after; found < frames.size(); ++found) {
            if (frames[found].width == width && frames[found].height == height) {
                return true;
            }
        }
        return false;
    };
    if (!awaitText(memoryLog, drawn, patience)) {
        throw std::runtime_error("the viewer drew no frame at " + std::to_string(width) + " x " +
                                 std::to_string(height) + " after its first " +
                                 std::to_string(after));
    }
    return found;
}

std::string ViewerTest::valgrindReport() const {
    return textOf(valgrindLog);
}

ViewerWindow ViewerTest::windowOnceDrawn(ViewerProcess& viewer) const {
    if (!viewer.waitForFrames(1)) {
        throw std::runtime_error("the viewer drew no frame; its trace: " + viewer.trace());
    }
    return {server.display(), title};
}

ViewerWindow::Image ViewerTest::awaitPicture(ViewerWindow& window, int width, int height) {
    return window.grabUntil(
        [&](const ViewerWindow::Image& image) {
            return pictureFaults(image, width, height).empty();
        },
        30);
}

void ViewerTest::closeAndExpectSuccess(ViewerProcess& viewer, ViewerWindow& window) {
    window.close();
    const int status = viewer.waitForExit();
    EXPECT_EQ(viewer.output(), "") << "nothing belongs on standard output";
    const std::string& trace = viewer.trace();
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0)
        << "wait status " << status << ", trace tail: "
        << trace.substr(trace.size() - std::min<std::size_t>(trace.size(), 300));
}

void ViewerTest::clickAndType(ViewerWindow& window) {
    window.movePointer(100, 120);
    for (unsigned button = 1; button <= 5; ++button) {
        window.pressButton(button, true);
        window.pressButton(button, false);
    }
    window.pressButton(1, true);
    window.movePointer(150, 160);
    window.pressButton(3, true);
    window.pressButton(1, false);
    window.pressButton(3, false);
    for (const char* key : {"a", "Escape"}) {
        window.pressKey(key, true);
        window.pressKey(key, false);
    }
}
