#pragma once

#include "tests/e2e/ViewerWindow.h"
#include "tests/support/Expected.h"
#include "tests/support/SkipWhenUnavailable.h"
#include "tests/support/ViewerProcess.h"
#include "tests/support/XvfbServer.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdlib>
#include <string>
#include <unistd.h>
#include <vector>

// What the viewer's process held after a frame, as the call recorder logged it.
struct FrameMemory {
    // The size the frame was drawn at.
    int width = 0;
    int height = 0;
    // The heap in use, every arena and mapped block.
    std::size_t heapBytes = 0;
    long residentKiB = 0;
};

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
    // What the process held after each frame.
    std::vector<FrameMemory> memoryAfterFrames() const;
    // Waits until the recorder has logged a frame drawn at `width` x `height`
    // after the first `after` frames: that frame's place in the log. Throws
    // where none comes within `patience`.
    std::size_t awaitFrameOfSize(int width, int height, std::size_t after,
                                 std::chrono::seconds patience) const;
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
    std::string memoryLog = logBase + ".memory";
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
