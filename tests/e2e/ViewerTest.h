#pragma once

#include "tests/e2e/ViewerWindow.h"
#include "tests/support/Expected.h"
#include "tests/support/ViewerProcess.h"
#include "tests/support/XvfbServer.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdlib>
#include <string>
#include <unistd.h>
#include <vector>

// What every end-to-end test of the viewer shares: its own X server, the
// call recorder's log, valgrind's report, and a clean close.
class ViewerTest : public ::testing::Test {
protected:
    static constexpr const char* title = expected::windowTitle;

    ~ViewerTest() override;

    // Runs the viewer with every OpenGL and GLUT call and every callback logged.
    ViewerProcess::Options recorded(std::vector<std::string> arguments = {}) const;
    // Runs the viewer of `options` under valgrind with `checks`, reporting to a file.
    ViewerProcess::Options underValgrind(std::vector<std::string> checks,
                                         ViewerProcess::Options options = {}) const;

    // The recorder's log, a line a call or callback.
    std::vector<std::string> loggedCalls() const;
    // The heap in use after each frame, in bytes, as the recorder logged it.
    std::vector<std::size_t> heapAfterFrames() const;
    // What valgrind reported.
    std::string valgrindReport() const;

    // The viewer's window once its first frame is drawn; throws, with the
    // trace, where none is.
    ViewerWindow windowOnceDrawn(ViewerProcess& viewer) const;
    // What the window shows once it is the lattice over `width` x `height`
    // pixels, or what it shows after 30 s.
    static ViewerWindow::Image awaitPicture(ViewerWindow& window, int width, int height);

    // Closes the window as a window manager does and expects a clean exit
    // with nothing on standard output.
    static void closeAndExpectSuccess(ViewerProcess& viewer, ViewerWindow& window);
    // Real clicks of buttons 1 to 5, a drag with two buttons held, and two keys,
    // at (100, 120) and then (150, 160).
    static void clickAndType(ViewerWindow& window);

    XvfbServer server;

private:
    std::string logBase = testing::TempDir() + "wibble-" + std::to_string(::getpid());
    std::string callLog = logBase + ".calls";
    std::string heapLog = logBase + ".heap";
    std::string valgrindLog = logBase + ".valgrind";
};

// How a test starts the viewer: the program built here, or the one a package holds.
class Launcher {
public:
    virtual ~Launcher() = default;
    // The command and the environment that start it.
    virtual ViewerProcess::Options options() const = 0;
    // Stops what the platform keeps running after the viewer has ended.
    virtual void finish() const {}
    // Why this machine cannot start the viewer this way; empty where it can.
    virtual std::string unavailable() const { return {}; }
};

// Skips the running test, saying why, when `why` is not empty: what it tests
// cannot be had on this machine. Where WIBBLE_REQUIRE_EVERY_PACKAGE is set, as
// CI sets it where every package can be built, the test fails instead.
#define SKIP_WHEN_UNAVAILABLE(why)                                                                 \
    do {                                                                                           \
        if (const std::string reason = (why); !reason.empty()) {                                   \
            if (std::getenv("WIBBLE_REQUIRE_EVERY_PACKAGE")) {                                     \
                GTEST_FAIL() << reason;                                                            \
            }                                                                                      \
            GTEST_SKIP() << reason;                                                                \
        }                                                                                          \
    } while (false)

// The end-to-end tests that hold wherever the viewer runs, instantiated by each
// test program with the launchers it has.
class EveryPlatform : public ViewerTest, public ::testing::WithParamInterface<const Launcher*> {
protected:
    void SetUp() override { SKIP_WHEN_UNAVAILABLE(GetParam()->unavailable()); }
    void TearDown() override { GetParam()->finish(); }
};

// The exit probe, started as a launcher starts the viewer: the program with
// one more global, whose destruction writes a mark on the trace.
class ExitPath : public EveryPlatform {};
