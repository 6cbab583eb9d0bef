#pragma once

#include "tests/e2e/ViewerWindow.h"
#include "tests/e2e/XvfbServer.h"

#include <nlohmann/json.hpp>

#include <cstdio>
#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

// One page in a browser engine, driven through W3C WebDriver: Chromium
// (headless, with SwiftShader's software WebGL) through chromedriver and
// WebKitGTK's MiniBrowser through WebKitWebDriver, both over HTTP on the
// loopback, and Firefox ESR through its built-in Marionette port, which takes
// the same commands. Firefox and WebKitGTK show on an X server of their own,
// with Mesa underneath.
class Browser {
public:
    enum class Engine { Chromium, Firefox, WebKit };
    // What the browser is told to go without (WebKitGTK: not WebAssembly).
    enum class Without { Nothing, WebGL, WebAssembly };

    explicit Browser(Engine engine, Without without = Without::Nothing);
    ~Browser();
    Browser(const Browser&) = delete;
    Browser& operator=(const Browser&) = delete;

    // Opens `url` and waits until it has loaded.
    void open(const std::string& url);
    // Runs `body` in the page as the body of an async function; what it returns, as a string.
    std::string run(const std::string& body);
    // The pixels shown in the page's rectangle, in CSS pixels from its top left.
    ViewerWindow::Image screenshot(int x, int y, int width, int height);
    // A press and a release of the left button at a place in the page, in CSS pixels.
    void click(int x, int y);
    // The uncaught exceptions that reached the console, where the driver tells
    // them (chromedriver does); nothing where it cannot.
    std::optional<std::vector<std::string>> uncaughtExceptions();

private:
    // A WebDriver command: its HTTP method and path below the session, and its
    // name in Marionette.
    struct Command {
        const char* method;
        std::string path;
        const char* marionette;
    };
    // Starts the driver (or Firefox itself) and waits until it listens.
    void start(const std::vector<std::string>& command);
    nlohmann::json send(const Command& command, const nlohmann::json& parameters = {});
    // The next packet from Marionette.
    nlohmann::json receive();

    Engine engine;
    std::optional<XvfbServer> server;
    std::string folder;
    int port;
    pid_t driver = -1;
    std::string session;
    FILE* marionette = nullptr;
    int lastId = 0;
};
