#pragma once

#include "tests/e2e/ViewerWindow.h"

#include <chrono>
#include <list>
#include <string>
#include <sys/types.h>

// Headless Chromium with its software GL (SwiftShader), driven through the
// DevTools protocol over a pipe: one page, its script and its pixels.
class Browser {
public:
    explicit Browser(std::chrono::seconds patience = std::chrono::seconds(60));
    ~Browser();
    Browser(const Browser&) = delete;
    Browser& operator=(const Browser&) = delete;

    // Opens `url` and waits until it has loaded.
    void open(const std::string& url);
    // The string that the script `expression` gives, awaited when it is a promise.
    std::string evaluate(const std::string& expression);
    // The pixels shown in the page's rectangle, in CSS pixels from its top left.
    ViewerWindow::Image screenshot(int x, int y, int width, int height);
    // A press and a release of the left button at a place in the page.
    void click(int x, int y);

private:
    // Sends a command to the page and returns its result's JSON text.
    std::string call(const std::string& method, const std::string& params, bool toPage = true);
    // The first message, read or still to come, that begins with `start`.
    std::string readUntil(const std::string& start);

    pid_t pid = -1;
    int commands = -1;
    int replies = -1;
    int lastId = 0;
    std::string session;
    std::string unread;
    std::list<std::string> messages;
    std::chrono::seconds patience;
    std::string profile;
};
