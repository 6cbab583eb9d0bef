#include "tests/web/Browser.h"

#include "tests/e2e/Picture.h"

#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <poll.h>
#include <stdexcept>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {

// A JSON string for a command: quotes, backslashes and control characters escaped.
std::string quoted(const std::string& text) {
    std::string json = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\') {
            json += '\\';
            json += c;
        } else if (static_cast<unsigned char>(c) < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
            json += escaped;
        } else {
            json += c;
        }
    }
    return json + '"';
}

// The string value of the first `"key":"..."` in a JSON text, unescaped.
std::string stringField(const std::string& json, const std::string& key) {
    const std::string opening = "\"" + key + "\":\"";
    std::size_t at = json.find(opening);
    if (at == std::string::npos) {
        throw std::runtime_error("browser: no " + key + " in " + json.substr(0, 500));
    }
    std::string value;
    for (at += opening.size(); at < json.size() && json[at] != '"'; ++at) {
        if (json[at] != '\\') {
            value += json[at];
            continue;
        }
        const char escaped = json[++at];
        switch (escaped) {
        case 'n':
            value += '\n';
            break;
        case 't':
            value += '\t';
            break;
        case 'r':
            value += '\r';
            break;
        case 'u':
            // The page's text is ASCII: each escape is one character.
            value += static_cast<char>(std::stoi(json.substr(at + 1, 4), nullptr, 16));
            at += 4;
            break;
        default:
            value += escaped;
        }
    }
    return value;
}

std::string fromBase64(const std::string& text) {
    std::string bytes;
    unsigned bits = 0;
    int count = 0;
    for (const char c : text) {
        int value = -1;
        if (c >= 'A' && c <= 'Z')
            value = c - 'A';
        else if (c >= 'a' && c <= 'z')
            value = c - 'a' + 26;
        else if (c >= '0' && c <= '9')
            value = c - '0' + 52;
        else if (c == '+')
            value = 62;
        else if (c == '/')
            value = 63;
        if (value < 0)
            continue;
        bits = (bits << 6) | static_cast<unsigned>(value);
        if ((count += 6) >= 8) {
            count -= 8;
            bytes.push_back(static_cast<char>(bits >> count));
        }
    }
    return bytes;
}

} // namespace

Browser::Browser(std::chrono::seconds patience) : patience(patience) {
    char folder[] = "/tmp/wibble-chromium-XXXXXX";
    if (!mkdtemp(folder)) {
        throw std::runtime_error("browser: no profile folder");
    }
    profile = folder;
    int toBrowser[2], fromBrowser[2];
    if (pipe(toBrowser) != 0 || pipe(fromBrowser) != 0) {
        throw std::runtime_error("browser: no pipe");
    }
    pid = fork();
    if (pid == 0) {
        prctl(PR_SET_PDEATHSIG, SIGKILL);
        // The protocol pipe is the browser's descriptors 3 (commands) and 4 (replies).
        dup2(toBrowser[0], 3);
        dup2(fromBrowser[1], 4);
        const int quiet = ::open("/dev/null", O_WRONLY);
        dup2(quiet, STDOUT_FILENO);
        dup2(quiet, STDERR_FILENO);
        const std::string userData = "--user-data-dir=" + profile;
        // No first-run pages, no background connections (this machine has no
        // network), software WebGL.
        execlp("chromium", "chromium", "--headless", "--no-sandbox", "--remote-debugging-pipe",
               "--use-angle=swiftshader", "--enable-unsafe-swiftshader", "--no-first-run",
               "--disable-background-networking", "--disable-component-update", "--disable-sync",
               "--disable-quic", "--window-size=800,600", userData.c_str(), "about:blank",
               static_cast<char*>(nullptr));
        _exit(127);
    }
    close(toBrowser[0]);
    close(fromBrowser[1]);
    commands = toBrowser[1];
    replies = fromBrowser[0];
    if (pid < 0) {
        throw std::runtime_error("browser: cannot start chromium");
    }
    const std::string target = call("Target.createTarget", R"({"url":"about:blank"})", false);
    const std::string attached =
        call("Target.attachToTarget",
             R"({"targetId":")" + stringField(target, "targetId") + R"(","flatten":true})", false);
    session = stringField(attached, "sessionId");
    call("Page.enable", "{}");
}

Browser::~Browser() {
    close(commands);
    close(replies);
    if (pid > 0) {
        kill(pid, SIGTERM);
        waitpid(pid, nullptr, 0);
    }
    std::filesystem::remove_all(profile);
}

void Browser::open(const std::string& url) {
    call("Page.navigate", R"({"url":)" + quoted(url) + "}");
    readUntil(R"({"method":"Page.loadEventFired")");
}

std::string Browser::evaluate(const std::string& expression) {
    const std::string result =
        call("Runtime.evaluate", R"({"expression":)" + quoted(expression) +
                                     R"(,"awaitPromise":true,"returnByValue":true})");
    if (result.find("\"exceptionDetails\"") != std::string::npos) {
        throw std::runtime_error("browser: the script failed: " + result.substr(0, 1000));
    }
    return stringField(result, "value");
}

ViewerWindow::Image Browser::screenshot(int x, int y, int width, int height) {
    const std::string clip = R"({"format":"png","clip":{"x":)" + std::to_string(x) + R"(,"y":)" +
                             std::to_string(y) + R"(,"width":)" + std::to_string(width) +
                             R"(,"height":)" + std::to_string(height) + R"(,"scale":1}})";
    return imageOfPng(fromBase64(stringField(call("Page.captureScreenshot", clip), "data")));
}

void Browser::click(int x, int y) {
    for (const char* type : {"mousePressed", "mouseReleased"}) {
        call("Input.dispatchMouseEvent", R"({"type":")" + std::string(type) + R"(","x":)" +
                                             std::to_string(x) + R"(,"y":)" + std::to_string(y) +
                                             R"(,"button":"left","clickCount":1})");
    }
}

std::string Browser::call(const std::string& method, const std::string& params, bool toPage) {
    const int id = ++lastId;
    std::string message =
        R"({"id":)" + std::to_string(id) + R"(,"method":")" + method + R"(","params":)" + params;
    if (toPage) {
        message += R"(,"sessionId":")" + session + '"';
    }
    message += '}';
    message += '\0';
    for (std::size_t sent = 0; sent < message.size();) {
        const ssize_t wrote = write(commands, message.data() + sent, message.size() - sent);
        if (wrote <= 0) {
            throw std::runtime_error("browser: the pipe is closed");
        }
        sent += static_cast<std::size_t>(wrote);
    }
    // Chromium writes a reply's id first, and an event's method.
    const std::string start = R"({"id":)" + std::to_string(id) + ",";
    std::string reply = readUntil(start);
    if (reply.rfind(start + R"("error":)", 0) == 0) {
        throw std::runtime_error("browser: " + method + " failed: " + reply);
    }
    return reply;
}

std::string Browser::readUntil(const std::string& start) {
    const auto deadline = std::chrono::steady_clock::now() + patience;
    for (;;) {
        // Each message ends with a NUL character. Those not wanted now are kept
        // for a later wait.
        for (std::size_t end; (end = unread.find('\0')) != std::string::npos;) {
            messages.push_back(unread.substr(0, end));
            unread.erase(0, end + 1);
        }
        for (auto message = messages.begin(); message != messages.end(); ++message) {
            if (message->rfind(start, 0) == 0) {
                std::string wanted = std::move(*message);
                messages.erase(message);
                return wanted;
            }
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        pollfd readable{replies, POLLIN, 0};
        if (left.count() <= 0 || poll(&readable, 1, static_cast<int>(left.count())) <= 0) {
            throw std::runtime_error("browser: no " + start + " in time");
        }
        char buffer[65536];
        const ssize_t got = read(replies, buffer, sizeof buffer);
        if (got <= 0) {
            throw std::runtime_error("browser: chromium ended");
        }
        unread.append(buffer, static_cast<std::size_t>(got));
    }
}
