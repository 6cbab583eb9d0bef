#include "tests/e2e/ViewerTest.h"
#include "tests/e2e/Picture.h"
#include "tests/support/Files.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>

#ifndef WIBBLE_CALL_RECORDER
#error "WIBBLE_CALL_RECORDER names the preloadable call recorder"
#endif

ViewerTest::~ViewerTest() {
    for (const std::string& log : {callLog, heapLog, valgrindLog}) {
        std::remove(log.c_str());
    }
}

ViewerProcess::Options ViewerTest::recorded(std::vector<std::string> arguments) const {
    ViewerProcess::Options options;
    options.arguments = std::move(arguments);
    options.environment = {{"LD_PRELOAD", WIBBLE_CALL_RECORDER},
                           {"WIBBLE_CALL_LOG", callLog},
                           {"WIBBLE_HEAP_LOG", heapLog}};
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

std::vector<std::size_t> ViewerTest::heapAfterFrames() const {
    std::ifstream log(heapLog);
    return {std::istream_iterator<std::size_t>(log), std::istream_iterator<std::size_t>()};
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
