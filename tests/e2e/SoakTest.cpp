// Thousands of window-system events sent to the running viewer: it survives,
// writes one frame of trace for each repaint and nothing else, keeps its memory
// flat, and still ends cleanly when the window is closed.
#include "tests/e2e/ViewerTest.h"
#include "tests/support/Sanitizers.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

namespace {

// The window's sides that random events give it are at most this long.
constexpr int largestSentSize = 600;

// How much more the viewer may hold after 4000 more events than before them.
// Xlib and libXi keep about 50 bytes of every XInput 2 event that freeglut
// leaves unclaimed (seen: 180 to 210 KB over the 4000 events), and Mesa's
// software renderer may hold one 300 x 300 colour buffer more at one moment
// than at another. A leak of 200 bytes per event shows beyond both, and so
// does one of 1 KiB per mouse callback (about 900 of them: seen 1.15 MB more)
// or a block of 256 KiB lost per frame, which malloc maps on its own.
constexpr std::size_t heapDriftBytes =
    std::size_t{4000} * 100 + std::size_t{expected::windowSize} * expected::windowSize * 4;
// The resident memory, once the heap's pages are touched (seen: 4 to 8 KiB).
constexpr long residentDriftKiB = 1024;

struct SoakCounts {
    int repaintRequests = 0;
};

// Random input of every kind the viewer listens to, at random places.
SoakCounts sendEvents(ViewerWindow& window, int events, std::mt19937& random) {
    const char* const keys[] = {"a", "Z", "space", "Escape", "Return", "F1", "Left", "1"};
    std::uniform_int_distribution<int> kind(0, 9), place(-20, 620), size(1, largestSentSize),
        button(1, 7), key(0, 7);
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

class Soak : public ViewerTest {
protected:
    // The memory after every event sent so far has been handled: the window
    // is resized to `marker` pixels square, a size no event sends, and once a
    // frame of that size is drawn, put back at its first size, where the
    // memory is read after the next frame. Each call takes a marker of its own.
    FrameMemory settle(ViewerWindow& window, int marker,
                       std::chrono::seconds patience = std::chrono::seconds(60)) const {
        window.resize(marker, marker);
        const std::size_t markerFrame = awaitFrameOfSize(marker, marker, 0, patience);
        window.resize(expected::windowSize, expected::windowSize);
        const std::size_t settled =
            awaitFrameOfSize(expected::windowSize, expected::windowSize, markerFrame + 1, patience);
        return memoryAfterFrames().at(settled);
    }

    // Closes the window, then checks that every frame of the trace was a
    // repaint GLUT asked for.
    void closeAndCheck(ViewerProcess& viewer, ViewerWindow& window, int repaintRequests) const {
        closeAndExpectSuccess(viewer, window);
        const std::vector<std::string> calls = loggedCalls();
        const int frames = expected::framesIn(viewer.trace());
        std::cout << repaintRequests << " repaint requests drew " << frames << " frames; "
                  << std::count_if(
                         calls.begin(), calls.end(),
                         [](const std::string& call) { return call.rfind("mouse(", 0) == 0; })
                  << " mouse events reached the program\n";
        EXPECT_EQ(std::count(calls.begin(), calls.end(), "display()"), frames);
        EXPECT_GE(frames, 2);
        EXPECT_LE(frames, 1 + repaintRequests + 3);
        const std::string whole = expected::traceOfFrames(frames);
        EXPECT_TRUE(viewer.trace() == whole)
            << "the trace holds more than its frames: "
            << viewer.trace().substr(std::min(whole.size(), viewer.trace().size()));
    }
};

TEST_F(Soak, ThousandsOfEventsLeaveTheViewerRunningQuietAndFlat) {
    ViewerProcess viewer(server.display(), recorded());
    ViewerWindow window = windowOnceDrawn(viewer);
    std::mt19937 random(20261208);

    SoakCounts counts = sendEvents(window, 1000, random);
    const FrameMemory warmedUp = settle(window, largestSentSize + 1);
    const SoakCounts more = sendEvents(window, 4000, random);
    const FrameMemory after = settle(window, largestSentSize + 2);
    counts.repaintRequests += more.repaintRequests + 4;

    std::cout << "after 1000 events: heap in use " << warmedUp.heapBytes << " bytes, resident "
              << warmedUp.residentKiB << " KiB; after 5000: heap " << after.heapBytes
              << " bytes, resident " << after.residentKiB << " KiB\n";
    EXPECT_GT(warmedUp.heapBytes, 0u);
    EXPECT_LE(after.heapBytes, warmedUp.heapBytes + heapDriftBytes) << "the heap grows under input";
    // AddressSanitizer keeps freed memory in quarantine, resident, so only a
    // plain build shows the resident memory the program needs.
    if (!builtWithAddressSanitizer) {
        EXPECT_GT(warmedUp.residentKiB, 0);
        EXPECT_LE(after.residentKiB, warmedUp.residentKiB + residentDriftKiB)
            << "resident memory grows under input";
    }
    closeAndCheck(viewer, window, counts.repaintRequests);
}

TEST_F(Soak, UnderValgrindNoErrorIsReported) {
    if (builtWithAddressSanitizer) {
        GTEST_SKIP() << "valgrind cannot run a program built with AddressSanitizer";
    }
    const ViewerProcess::Options options = underValgrind(
        {"--error-exitcode=99", "--leak-check=full", "--errors-for-leak-kinds=definite,indirect",
         // Names the code of Mesa's driver, unloaded before the check.
         "--keep-debuginfo=yes", std::string("--suppressions=") + WIBBLE_VALGRIND_SUPPRESSIONS},
        recorded());
    ViewerProcess viewer(server.display(), options);
    ViewerWindow window = windowOnceDrawn(viewer);
    std::mt19937 random(8122026);
    const SoakCounts counts = sendEvents(window, 300, random);
    settle(window, largestSentSize + 1, options.patience);
    closeAndCheck(viewer, window, counts.repaintRequests + 2);

    const std::string text = valgrindReport();
    EXPECT_NE(text.find("ERROR SUMMARY: 0 errors"), std::string::npos) << text.substr(0, 20000);
}

} // namespace
