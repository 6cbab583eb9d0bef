// The web page that scripts/package.sh writes, opened from disk in headless
// Chromium: its trace, its canvas against the test's own projection, a resize
// and a click.
#include "tests/e2e/Picture.h"
#include "tests/e2e/ViewerProcess.h"
#include "tests/web/Browser.h"

#include <gtest/gtest.h>

#include <iostream>

#ifndef WIBBLE_WEB_PAGE
#error "WIBBLE_WEB_PAGE names the page under test"
#endif

namespace {

class WebPage : public ::testing::Test {
protected:
    // The trace shown under the canvas once it holds `frames` frames.
    std::string shownTrace(int frames) {
        return browser.evaluate(R"(new Promise(resolve => {
            const trace = document.getElementById('trace');
            const check = () => {
                if (trace.textContent.split(' springs: ').length > )" +
                                std::to_string(frames) + R"() resolve(trace.textContent);
            };
            new MutationObserver(check).observe(trace, {childList: true, characterData: true});
            check();
        }))");
    }

    // Waits until the page has painted twice more, so that what the program
    // drew, or would have drawn, is on the screen.
    void settle() {
        browser.evaluate(R"(new Promise(resolve =>
            requestAnimationFrame(() => requestAnimationFrame(() => resolve('')))))");
    }

    std::string pictureFaultsOfCanvas(int width, int height, double degrees = 15) {
        settle();
        return pictureFaults(browser.screenshot(0, 0, width, height),
                             projectedSprings(width, height, degrees));
    }

    Browser browser;
};

TEST_F(WebPage, ShowsTheTraceAndTheTurnedLatticeStretchedOverTheCanvas) {
    browser.open(std::string("file://") + WIBBLE_WEB_PAGE);
    EXPECT_EQ(shownTrace(1), traceOfFrames(1));
    std::cout << "first frame " << browser.evaluate("String(Math.round(performance.now()))")
              << " ms after the page was opened\n";
    EXPECT_EQ(pictureFaultsOfCanvas(300, 300), "");
    EXPECT_NE(pictureFaultsOfCanvas(300, 300, 14), "");

    browser.evaluate(R"(document.getElementById('window').style.width = '480px';
        document.getElementById('window').style.height = '200px'; '')");
    EXPECT_EQ(shownTrace(2), traceOfFrames(2));
    EXPECT_EQ(pictureFaultsOfCanvas(480, 200), "");
}

TEST_F(WebPage, AClickOnTheCanvasDrawsNoFrameOfItsOwn) {
    browser.open(std::string("file://") + WIBBLE_WEB_PAGE);
    shownTrace(1);
    browser.click(100, 120);
    settle();
    EXPECT_EQ(shownTrace(1), traceOfFrames(1));
}

} // namespace
