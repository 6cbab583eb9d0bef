#pragma once

#include "tests/e2e/ViewerWindow.h"
#include "tests/support/Process.h"
#include "tests/support/XvfbServer.h"

#include <nlohmann/json.hpp>

#include <memory>
#include <optional>
#include <string>
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

    // A WebDriver command: its HTTP method and path below the session, and its
    // name in Marionette.
    struct Command {
        const char* method;
        const char* path;
        const char* marionette;
    };
    // How commands reach the browser and its answers come back.
    class Transport {
    public:
        virtual ~Transport() = default;
        // Starts the session that later commands go to.
        virtual void startSession(const nlohmann::json& capabilities) = 0;
        // The answer to `command`: its value or its error.
        virtual nlohmann::json send(const Command& command, const nlohmann::json& parameters) = 0;
    };

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
    // Resizes the browser's window so that the page's viewport is `width` x `height` CSS pixels.
    void resizeViewport(int width, int height);
    // A press and a release of the left button at a place in the page, in CSS pixels.
    void click(int x, int y);
    // The left button pressed at one place, the mouse moved to another, and the button released.
    void drag(int fromX, int fromY, int toX, int toY);
    // The uncaught exceptions that reached the console, where the driver tells
    // them (chromedriver does); nothing where it cannot.
    std::optional<std::vector<std::string>> uncaughtExceptions();

private:
    nlohmann::json send(const Command& command, const nlohmann::json& parameters = {});

    Engine engine;
    std::string folder;
    std::optional<XvfbServer> server;
    std::optional<Process> driver;
    std::unique_ptr<Transport> transport;
};
