// Thousands of window-system events sent to the running viewer: it survives,
// writes one frame of trace for each repaint and nothing else, keeps its memory
// flat, and still ends cleanly when the window is closed.
#include "tests/e2e/ViewerProcess.h"
#include "tests/e2e/ViewerWindow.h"
#include "tests/e2e/XvfbServer.h"
#include "tests/support/Sanitizers.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <random>
#include <sys/wait.h>
#include <unistd.h>

namespace {

struct SoakCounts {
    int repaintRequests = 0;
};

// Random input of every kind the viewer listens to, at random places.
SoakCounts sendEvents(ViewerWindow& window, int events, std::mt19937& random) {
    const char* const keys[] = {"a", "Z", "space", "Escape", "Return", "F1", "Left", "1"};
    std::uniform_int_distribution<int> kind(0, 9), place(-20, 620), size(1, 600), button(1, 7),
        key(0, 7);
    SoakCounts counts;
    for (int event = 0; event < events; ++event) {
        switch (kind(random)) {
        case 0:
        case 1:
        case 2:
            window.movePointer(place(random), place(random));
            window.pressButton(static_cast<unsigned>(button(random)), true);
            break;
        case 3:
        case 4:
            window.pressButton(static_cast<unsigned>(button(random)), false);
            break;
        case 5:
        case 6:
            window.movePointer(place(random), place(random));
            break;
        case 7: {
            const char* name = keys[key(random)];
            window.pressKey(name, true);
            window.pressKey(name, false);
            break;
        }
        case 8:
            window.resize(size(random), size(random));
            ++counts.repaintRequests;
            break;
        default:
            window.expose();
            ++counts.repaintRequests;
        }
    }
    for (unsigned held = 1; held <= 7; ++held) {
        window.pressButton(held, false);
    }
    return counts;
}

class Soak : public ::testing::Test {
protected:
    ~Soak() override { std::remove(callLog.c_str()); }

    ViewerProcess::Options recorded() const {
        ViewerProcess::Options options;
        options.environment = {{"LD_PRELOAD", WIBBLE_CALL_RECORDER}, {"WIBBLE_CALL_LOG", callLog}};
        return options;
    }

    // The window back at its first size, and a frame drawn there, so that
    // memory is compared in the same state.
    static void settle(ViewerProcess& viewer, ViewerWindow& window) {
        window.resize(300, 300);
        window.expose();
        const int frames = framesIn(viewer.trace());
        window.expose();
        ASSERT_TRUE(viewer.waitForFrames(frames + 1)) << viewer.trace().size();
    }

    // Closes the window, then checks the exit and that every frame of the
    // trace was a repaint GLUT asked for.
    void closeAndCheck(ViewerProcess& viewer, ViewerWindow& window, int repaintRequests) {
        window.close();
        const int status = viewer.waitForExit();
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "wait status " << status;
        std::ifstream log(callLog);
        const std::vector<std::string> calls{std::istream_iterator<std::string>(log),
                                             std::istream_iterator<std::string>()};
        const int frames = framesIn(viewer.trace());
        std::cout << repaintRequests << " repaint requests drew " << frames << " frames; "
                  << std::count_if(
                         calls.begin(), calls.end(),
                         [](const std::string& call) { return call.rfind("mouse(", 0) == 0; })
                  << " mouse events reached the program\n";
        EXPECT_EQ(std::count(calls.begin(), calls.end(), "display()"), frames);
        EXPECT_GE(frames, 2);
        EXPECT_LE(frames, 1 + repaintRequests + 3);
        EXPECT_TRUE(viewer.trace() == traceOfFrames(frames))
            << "the trace holds more than its frames";
        EXPECT_EQ(viewer.output(), "");
    }

    XvfbServer server;
    std::string callLog = testing::TempDir() + "wibble-soak-" + std::to_string(getpid()) + ".log";
};

TEST_F(Soak, ThousandsOfEventsLeaveTheViewerRunningQuietAndFlat) {
    ViewerProcess viewer(server.display(), recorded());
    ASSERT_TRUE(viewer.waitForFrames(1)) << viewer.trace();
    ViewerWindow window(server.display(), "Assignment 4");
    std::mt19937 random(20261208);

    SoakCounts counts = sendEvents(window, 1000, random);
    settle(viewer, window);
    const long warmedUp = viewer.residentKiB();
    const SoakCounts more = sendEvents(window, 4000, random);
    settle(viewer, window);
    const long after = viewer.residentKiB();
    counts.repaintRequests += more.repaintRequests + 6;

    RecordProperty("resident_kib_after_1000_events", std::to_string(warmedUp));
    RecordProperty("resident_kib_after_5000_events", std::to_string(after));
    std::cout << "resident memory after 1000 events " << warmedUp << " KiB, after 5000 " << after
              << " KiB\n";
    EXPECT_GT(warmedUp, 0);
    // AddressSanitizer keeps freed memory in quarantine, so only a plain build
    // shows whether the program's own memory stays flat.
    if (!builtWithAddressSanitizer) {
        EXPECT_LE(after - warmedUp, 1024) << "memory grows under input";
    }
    closeAndCheck(viewer, window, counts.repaintRequests);
}

TEST_F(Soak, UnderValgrindNoErrorIsReported) {
    if (builtWithAddressSanitizer) {
        GTEST_SKIP() << "valgrind cannot run a program built with AddressSanitizer";
    }
    const std::string report = callLog + ".valgrind";
    ViewerProcess::Options options = recorded();
    options.wrapper = {"valgrind", "--error-exitcode=99", "--errors-for-leak-kinds=none",
                       std::string("--suppressions=") + WIBBLE_VALGRIND_SUPPRESSIONS,
                       "--log-file=" + report};
    options.environment.emplace_back("GALLIUM_DRIVER", "softpipe");
    options.patience = std::chrono::seconds(400);
    ViewerProcess viewer(server.display(), options);
    ASSERT_TRUE(viewer.waitForFrames(1)) << viewer.trace();
    ViewerWindow window(server.display(), "Assignment 4");
    std::mt19937 random(8122026);
    const SoakCounts counts = sendEvents(window, 300, random);
    settle(viewer, window);
    closeAndCheck(viewer, window, counts.repaintRequests + 3);

    std::ifstream file(report);
    const std::string text((std::istreambuf_iterator<char>(file)),
                           std::istreambuf_iterator<char>());
    std::remove(report.c_str());
    EXPECT_NE(text.find("ERROR SUMMARY: 0 errors"), std::string::npos) << text.substr(0, 20000);
}

} // namespace
