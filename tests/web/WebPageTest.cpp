// The web page that scripts/package.sh writes: its weight, and opened from
// disk in each browser engine, its trace, its canvas against the test's own
// projection, a resize and a click, its icon and description; and what it says
// where the browser gives it no WebGL or no WebAssembly.
#include "tests/e2e/Picture.h"
#include "tests/support/Expected.h"
#include "tests/support/ReleaseFiles.h"
#include "tests/support/SkipWhenUnavailable.h"
#include "tests/web/Browser.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <sstream>
#include <tuple>
#include <utility>

#if !defined(WIBBLE_DIST) || !defined(WIBBLE_VERSION)
#error "WIBBLE_DIST and WIBBLE_VERSION name the page under test"
#endif

namespace {

using Engine = Browser::Engine;
using Without = Browser::Without;

const char* const page = WIBBLE_DIST "wibble-" WIBBLE_VERSION ".html";

// The page's file URL, its path's bytes escaped where a URL may not hold them
// as they are, a space among them.
std::string pageUrl() {
    std::string url = "file://";
    for (const char c : std::string(page)) {
        if (std::isalnum(static_cast<unsigned char>(c)) || std::strchr("/-._~", c)) {
            url += c;
        } else {
            char escaped[4];
            std::snprintf(escaped, sizeof escaped, "%%%02X", static_cast<unsigned char>(c));
            url += escaped;
        }
    }
    return url;
}

std::string pageUnavailable() {
    return releaseFileUnavailable(std::filesystem::path(page).filename(), "web");
}

// The program, its runtime, the design and the notices in one file that a
// phone fetches quickly: uncompressed, no more than 256 KiB.
TEST(WebPageFile, WeighsAtMost256KiB) {
    SKIP_WHEN_UNAVAILABLE(pageUnavailable());
    EXPECT_LE(std::filesystem::file_size(page), std::uintmax_t{256} * 1024);
}

class WebPage : public ::testing::TestWithParam<Engine> {
protected:
    void SetUp() override { SKIP_WHEN_UNAVAILABLE(pageUnavailable()); }

    void open(Without without = Without::Nothing) {
        browser.emplace(GetParam(), without);
        browser->open(pageUrl());
    }

    // The text of the element `id` once `ready` (a script expression on it) holds.
    std::string textWhen(const std::string& id, const std::string& ready) {
        return browser->run("const element = document.getElementById('" + id + R"(');
            return await new Promise(resolve => {
                const check = () => { if ()" +
                            ready + R"() resolve(element.textContent); };
                new MutationObserver(check).observe(element,
                    {childList: true, characterData: true, attributes: true, subtree: true});
                check();
            });)");
    }

    // The trace shown under the canvas once it holds `frames` frames.
    std::string shownTrace(int frames) {
        return textWhen("trace", "element.textContent.split(' springs: ').length > " +
                                     std::to_string(frames));
    }

    // Waits until the page has painted twice more, so that what the program
    // drew, or would have drawn, is on the screen.
    void settle() {
        browser->run("await new Promise(resolve => requestAnimationFrame(() => "
                     "requestAnimationFrame(resolve)));");
    }

    // Where the canvas's top left corner is in the page's viewport, in CSS pixels.
    std::pair<int, int> canvasCorner() {
        std::istringstream corner(
            browser->run("const box = document.getElementById('canvas').getBoundingClientRect();"
                         "return Math.round(box.left) + ' ' + Math.round(box.top);"));
        std::pair<int, int> at;
        corner >> at.first >> at.second;
        return at;
    }

    std::string pictureFaultsOfCanvas(int width, int height, double degrees = 15) {
        settle();
        const auto [x, y] = canvasCorner();
        return pictureFaults(browser->screenshot(x, y, width, height), width, height, degrees);
    }

    // No uncaught exception reached the console, where the driver can tell.
    void expectNoUncaughtException() {
        if (const auto uncaught = browser->uncaughtExceptions()) {
            EXPECT_EQ(*uncaught, std::vector<std::string>{});
        }
    }

    std::optional<Browser> browser;
};

TEST_P(WebPage, ShowsTheTraceAndTheTurnedLatticeStretchedOverTheCanvas) {
    open();
    EXPECT_EQ(shownTrace(1), expected::traceOfFrames(1));
    std::cout << "first frame " << browser->run("return Math.round(performance.now());")
              << " ms after the page was opened\n";
    const int size = expected::windowSize;
    EXPECT_EQ(pictureFaultsOfCanvas(size, size), "");
    EXPECT_NE(pictureFaultsOfCanvas(size, size, 14), "");

    // The window's grip, below the canvas's lower right corner, dragged with the mouse.
    const auto [x, y] = canvasCorner();
    browser->drag(x + size - 7, y + size + 7, x + 480 - 7, y + 200 + 7);
    EXPECT_EQ(shownTrace(2), expected::traceOfFrames(2));
    EXPECT_EQ(pictureFaultsOfCanvas(480, 200), "");
    expectNoUncaughtException();
}

// On a phone 360 pixels wide the page scrolls only down, and the canvas keeps GLUT's default size.
TEST_P(WebPage, FitsAPhoneWithoutSidewaysScrolling) {
    if (GetParam() != Engine::Chromium) {
        GTEST_SKIP() << "only Chromium's window can be as narrow as a phone (Firefox's and "
                        "MiniBrowser's stop at about 450 pixels)";
    }
    open();
    browser->resizeViewport(360, 740);
    ASSERT_EQ(browser->run("return innerWidth;"), "360");
    shownTrace(1);
    EXPECT_EQ(browser->run(R"(const page = document.documentElement;
        const canvas = document.getElementById('canvas');
        return (page.scrollWidth > page.clientWidth ? 'scrolls sideways' : 'fits') + ', ' +
            canvas.clientWidth + ' x ' + canvas.clientHeight;)"),
              "fits, 300 x 300");
}

TEST_P(WebPage, AClickOnTheCanvasDrawsNoFrameOfItsOwn) {
    open();
    shownTrace(1);
    const auto [x, y] = canvasCorner();
    browser->click(x + 100, y + 120);
    settle();
    EXPECT_EQ(shownTrace(1), expected::traceOfFrames(1));
}

// The icon is a picture in the page itself, so that opening or serving the
// page asks for nothing else; search engines get a description; and the page
// shows the licence and the notices of what it bundles.
TEST_P(WebPage, CarriesItsIconADescriptionAndTheNoticesOfWhatItBundles) {
    open();
    EXPECT_EQ(browser->run(R"(const link = document.querySelector('link[rel=icon]');
        if (!link.href.startsWith('data:image/png;base64,')) return link.href;
        const icon = new Image();
        icon.src = link.href;
        await icon.decode();
        return icon.naturalWidth + ' x ' + icon.naturalHeight;)"),
              "32 x 32");
    EXPECT_NE(browser->run("return document.querySelector('meta[name=description]').content;"), "");

    const std::string notices = browser->run(R"(const notices = document.getElementById('notices');
        notices.parentElement.open = true;
        return notices.offsetHeight > 0 ? notices.textContent : 'not shown';)");
    for (const char* notice : {"The wibble developers", "The Emscripten Authors", "Rich Felker",
                               "shall be included in all copies or substantial portions"}) {
        EXPECT_NE(notices.find(notice), std::string::npos) << notice;
    }
}

TEST_P(WebPage, WithoutWebGLOrWebAssemblySaysWhichAndKeepsTheTraceWritten) {
    const std::tuple<Without, const char*, std::string> lacks[] = {
        {Without::WebGL, "needs WebGL", expected::traceOfFrames(0)},
        {Without::WebAssembly, "needs WebAssembly", ""}};
    for (const auto& [without, words, trace] : lacks) {
        // WebKitGTK's MiniBrowser has no setting that turns WebAssembly off.
        if (without == Without::WebAssembly && GetParam() == Engine::WebKit) {
            continue;
        }
        open(without);
        const std::string problem = textWhen("problem", "!element.hidden");
        EXPECT_NE(problem.find(words), std::string::npos) << problem;
        EXPECT_EQ(browser->run("return document.getElementById('trace').textContent;"), trace);
        expectNoUncaughtException();
    }
}

std::string engineName(const ::testing::TestParamInfo<Engine>& engine) {
    const char* const names[] = {"Chromium", "Firefox", "WebKit"};
    return names[static_cast<int>(engine.param)];
}
INSTANTIATE_TEST_SUITE_P(Engines, WebPage,
                         ::testing::Values(Engine::Chromium, Engine::Firefox, Engine::WebKit),
                         engineName);

} // namespace
