#include "tests/web/Browser.h"
#include "tests/e2e/Picture.h"
#include "tests/support/Files.h"

#include <curl/curl.h>

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <stdexcept>
#include <thread>
#include <unistd.h>

namespace {

using nlohmann::json;
using Command = Browser::Command;
using Without = Browser::Without;

// Seconds the browser may take to start, or to answer one command.
constexpr long patience = 60;

constexpr Command newSession{"POST", "", "WebDriver:NewSession"};

sockaddr_in loopback(int port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return address;
}

// Base64, as WebDriver sends screenshots; padding is left out.
std::string fromBase64(const std::string& text) {
    static const std::string digits =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string bytes;
    unsigned bits = 0;
    int held = 0;
    for (const char c : text) {
        const std::size_t digit = digits.find(c);
        if (digit != std::string::npos) {
            bits = (bits << 6 | static_cast<unsigned>(digit)) & 0xFFFFFF;
            if ((held += 6) >= 8) {
                bytes += static_cast<char>(bits >> (held -= 8) & 0xFF);
            }
        }
    }
    return bytes;
}

// Both protocols carry a command's result as its value, and a failure as an error.
json answerOf(json reply, const Command& command) {
    if (reply.is_object() && reply.contains("value")) {
        reply = reply["value"];
    }
    if (reply.is_object() && reply.contains("error")) {
        throw std::runtime_error(std::string("browser: ") + command.marionette +
                                 " failed: " + reply.dump());
    }
    return reply;
}

std::size_t appendTo(char* data, std::size_t size, std::size_t count, void* reply) {
    static_cast<std::string*>(reply)->append(data, size * count);
    return size * count;
}

// W3C WebDriver over HTTP on the loopback, through libcurl.
class OverHttp : public Browser::Transport {
public:
    explicit OverHttp(int port)
        : session("http://127.0.0.1:" + std::to_string(port) + "/session") {}

    void startSession(const json& capabilities) override {
        session +=
            "/" + answerOf(send(newSession, {{"capabilities", {{"alwaysMatch", capabilities}}}}),
                           newSession)
                      .at("sessionId")
                      .get<std::string>();
    }

    json send(const Command& command, const json& parameters) override {
        const std::string url = session + command.path;
        const std::string body = parameters.dump();
        std::string reply;
        const std::unique_ptr<CURL, void (*)(CURL*)> curl(curl_easy_init(), curl_easy_cleanup);
        const std::unique_ptr<curl_slist, void (*)(curl_slist*)> headers(
            curl_slist_append(nullptr, "Content-Type: application/json"), curl_slist_free_all);
        curl_easy_setopt(curl.get(), CURLOPT_URL, url.c_str());
        curl_easy_setopt(curl.get(), CURLOPT_CUSTOMREQUEST, command.method);
        if (std::string(command.method) == "POST") {
            curl_easy_setopt(curl.get(), CURLOPT_POSTFIELDS, body.c_str());
        }
        curl_easy_setopt(curl.get(), CURLOPT_HTTPHEADER, headers.get());
        curl_easy_setopt(curl.get(), CURLOPT_WRITEFUNCTION, appendTo);
        curl_easy_setopt(curl.get(), CURLOPT_WRITEDATA, &reply);
        curl_easy_setopt(curl.get(), CURLOPT_TIMEOUT, 2 * patience);
        const CURLcode status = curl_easy_perform(curl.get());
        if (status != CURLE_OK) {
            throw std::runtime_error("browser: " + url + ": " + curl_easy_strerror(status));
        }
        return json::parse(reply);
    }

private:
    std::string session;
};

// Firefox's Marionette: packets of a length, a colon and JSON on a socket,
// [0, id, name, parameters] out and [1, id, error, result] back.
class Marionette : public Browser::Transport {
public:
    explicit Marionette(int connection) : stream(fdopen(connection, "r+")) {
        const timeval timeout{patience, 0};
        setsockopt(connection, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
        receive(); // Marionette greets first, with its protocol's name and level.
    }
    ~Marionette() override { std::fclose(stream); }
    Marionette(const Marionette&) = delete;
    Marionette& operator=(const Marionette&) = delete;

    // Marionette takes the capabilities as geckodriver would hand them on, unwrapped.
    void startSession(const json& capabilities) override {
        answerOf(send(newSession, capabilities), newSession);
    }

    json send(const Command& command, const json& parameters) override {
        const std::string message =
            json::array({0, ++lastId, command.marionette, parameters}).dump();
        std::fprintf(stream, "%zu:%s", message.size(), message.c_str());
        std::fflush(stream);
        json reply;
        do {
            reply = receive();
        } while (reply.at(1) != lastId);
        return reply.at(2).is_null() ? reply.at(3) : json{{"error", reply.at(2)}};
    }

private:
    json receive() {
        std::size_t size = 0;
        std::string packet;
        if (std::fscanf(stream, "%zu:", &size) == 1) {
            packet.resize(size);
            packet.resize(std::fread(packet.data(), 1, size, stream));
        }
        if (packet.empty() || packet.size() != size) {
            throw std::runtime_error("browser: Marionette closed the connection or took too long");
        }
        return json::parse(packet);
    }

    FILE* stream;
    int lastId = 0;
};

// How each engine is started: what it is told in its profile folder and its
// capabilities, and the command that starts its driver. Each driver is told
// to listen on port 0, which has the kernel choose a free port as it binds, so
// that no other program can take the port between the choice and the bind.
struct Launch {
    std::vector<std::string> (*prepare)(const std::string& folder, Without without,
                                        json& capabilities);
    // It shows on an X server of its own, rather than headless.
    bool ownDisplay;
    bool marionette;
    // Its driver hands on the console's messages.
    bool tellsConsole;
};

const Launch& launchOf(Browser::Engine engine) {
    static const Launch launches[] = {
        // Chromium: software WebGL, in a desktop's window; chromedriver itself
        // keeps it off the network and its first-run pages. Without WebAssembly
        // as the strictest security settings have it: with no JavaScript compiler.
        {[](const std::string&, Without without, json& capabilities) {
             json arguments = {"--headless",
                               "--no-sandbox",
                               "--use-angle=swiftshader",
                               "--enable-unsafe-swiftshader",
                               "--disable-component-update",
                               "--window-size=1280,900"};
             if (without != Without::Nothing) {
                 arguments.push_back(without == Without::WebGL ? "--disable-webgl"
                                                               : "--js-flags=--jitless");
             }
             capabilities["goog:chromeOptions"] = {{"binary", "/usr/bin/chromium"},
                                                   {"args", arguments}};
             capabilities["goog:loggingPrefs"] = {{"browser", "ALL"}};
             return std::vector<std::string>{"chromedriver", "--port=0"};
         },
         false, false, true},
        // Firefox: Marionette's own recommended preferences keep it off the network.
        {[](const std::string& folder, Without without, json&) {
             std::ofstream(folder + "/user.js")
                 << std::boolalpha << "user_pref(\"marionette.port\", 0);\n"
                 << "user_pref(\"webgl.disabled\", " << (without == Without::WebGL) << ");\n"
                 << "user_pref(\"javascript.options.wasm\", " << (without != Without::WebAssembly)
                 << ");\n";
             return std::vector<std::string>{"firefox-esr", "--marionette", "--no-remote",
                                             "--profile", folder};
         },
         true, true, false},
        // WebKitGTK's MiniBrowser: WebKitWebDriver adds its --automation only where
        // it is given no arguments.
        {[](const std::string&, Without without, json& capabilities) {
             if (without == Without::WebAssembly) {
                 throw std::invalid_argument("browser: MiniBrowser cannot turn WebAssembly off");
             }
             capabilities["webkitgtk:browserOptions"]["args"] =
                 without == Without::WebGL ? json{"--automation", "--enable-webgl=false"}
                                           : json::array();
             return std::vector<std::string>{"WebKitWebDriver", "--port=0"};
         },
         true, false, false},
    };
    return launches[static_cast<int>(engine)];
}

// The loopback port that the process `id` listens on, from the kernel's
// tables: the socket of a listening entry for 127.0.0.1 that is one of the
// process's open files. 0 where it listens on none yet.
int listeningPort(pid_t id) {
    const std::string process = "/proc/" + std::to_string(id);
    std::set<std::string> sockets;
    std::error_code ignored;
    for (const auto& file : std::filesystem::directory_iterator(process + "/fd", ignored)) {
        sockets.insert(std::filesystem::read_symlink(file.path(), ignored).string());
    }
    std::ifstream table(process + "/net/tcp");
    std::string line;
    std::getline(table, line); // the columns' names
    while (std::getline(table, line)) {
        std::istringstream fields(line);
        std::string slot, local, remote, state, queues, timer, retransmits, user, timeout, inode;
        fields >> slot >> local >> remote >> state >> queues >> timer >> retransmits >> user >>
            timeout >> inode;
        constexpr const char* listen = "0A";
        if (state == listen && local.rfind("0100007F:", 0) == 0 &&
            sockets.count("socket:[" + inode + "]") > 0) {
            return std::stoi(local.substr(9), nullptr, 16);
        }
    }
    return 0;
}

// A connection to the driver once it listens: the drivers say nothing when
// they are ready, so their sockets are looked at until one listens.
std::pair<int, int> connectWhenListening(Process& driver, const std::string& log) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(patience);
    for (;;) {
        if (const int port = listeningPort(driver.id()); port > 0) {
            const int connection = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
            const sockaddr_in address = loopback(port);
            if (connection >= 0 && connect(connection, reinterpret_cast<const sockaddr*>(&address),
                                           sizeof address) == 0) {
                return {port, connection};
            }
            const std::string why = std::strerror(errno);
            if (connection >= 0) {
                close(connection);
            }
            throw std::runtime_error("browser: cannot connect to the driver on port " +
                                     std::to_string(port) + ": " + why);
        }
        if (!driver.running() || std::chrono::steady_clock::now() > deadline) {
            throw std::runtime_error("browser: the driver did not start: " + textOf(log));
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
}

} // namespace

Browser::Browser(Engine engine, Without without) : engine(engine) {
    char pattern[] = "/tmp/wibble-browser-XXXXXX";
    if (!mkdtemp(pattern)) {
        throw std::runtime_error("browser: no folder for its profile");
    }
    folder = pattern;
    const Launch& launch = launchOf(engine);
    json capabilities = {{"timeouts", {{"script", patience * 1000}}}};
    const std::vector<std::string> command = launch.prepare(folder, without, capabilities);

    Process::Options options;
    if (launch.ownDisplay) {
        server.emplace();
        options.environment = XvfbServer::clientEnvironment(server->display());
    }
    options.output = options.errors = Process::To::File;
    options.file = folder + "/driver.log";
    // The driver and every browser process it starts end together.
    options.ownGroup = true;
    options.stopSignal = SIGTERM;
    driver.emplace(command, options);
    const auto [port, connection] = connectWhenListening(*driver, options.file);
    if (launch.marionette) {
        transport = std::make_unique<Marionette>(connection);
    } else {
        close(connection);
        transport = std::make_unique<OverHttp>(port);
    }
    transport->startSession(capabilities);
}

Browser::~Browser() {
    try {
        send({"DELETE", "", "WebDriver:DeleteSession"});
    } catch (const std::exception&) {
        // The browser is ended below either way.
    }
    transport.reset();
    driver.reset();
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
}

nlohmann::json Browser::send(const Command& command, const json& parameters) {
    return answerOf(transport->send(command, parameters.is_null() ? json::object() : parameters),
                    command);
}

void Browser::open(const std::string& url) {
    send({"POST", "/url", "WebDriver:Navigate"}, {{"url", url}});
}

std::string Browser::run(const std::string& body) {
    const json result =
        send({"POST", "/execute/async", "WebDriver:ExecuteAsyncScript"},
             {{"script", "const done = arguments[arguments.length - 1];\n(async () => {\n" + body +
                             "\n})().then(value => done({value: String(value)}),\n"
                             "    error => done({failure: String(error)}));"},
              {"args", json::array()}});
    if (result.contains("failure")) {
        throw std::runtime_error("browser: the script failed: " + result["failure"].dump());
    }
    return result.at("value");
}

ViewerWindow::Image Browser::screenshot(int x, int y, int width, int height) {
    // The whole viewport: WebKitGTK leaves WebGL out of an element's screenshot.
    const ViewerWindow::Image viewport = imageOfPng(fromBase64(send(
        {"GET", "/screenshot", "WebDriver:TakeScreenshot"}, {{"full", false}, {"hash", false}})));
    ViewerWindow::Image part{width, height, {}};
    for (int row = y; row < y + height; ++row) {
        for (int column = x; column < x + width; ++column) {
            const bool inside = row < viewport.height && column < viewport.width;
            part.pixels.push_back(inside ? viewport.at(column, row) : 0);
        }
    }
    return part;
}

void Browser::resizeViewport(int width, int height) {
    // The window is what the driver sets; its frame and bars take what they take.
    const json window = send({"GET", "/window/rect", "WebDriver:GetWindowRect"});
    std::istringstream viewport(run("return innerWidth + ' ' + innerHeight;"));
    int innerWidth = 0, innerHeight = 0;
    viewport >> innerWidth >> innerHeight;
    send({"POST", "/window/rect", "WebDriver:SetWindowRect"},
         {{"width", window.at("width").get<int>() + width - innerWidth},
          {"height", window.at("height").get<int>() + height - innerHeight}});
}

namespace {

json pointerMove(int x, int y) {
    return {{"type", "pointerMove"}, {"x", x}, {"y", y}, {"origin", "viewport"}};
}
json leftButton(bool down) {
    return {{"type", down ? "pointerDown" : "pointerUp"}, {"button", 0}};
}

} // namespace

void Browser::click(int x, int y) {
    drag(x, y, x, y);
}

void Browser::drag(int fromX, int fromY, int toX, int toY) {
    json steps = {pointerMove(fromX, fromY), leftButton(true)};
    if (toX != fromX || toY != fromY) {
        steps.push_back(pointerMove(toX, toY));
    }
    steps.push_back(leftButton(false));
    const json mouse = {{"type", "pointer"}, {"id", "mouse"}, {"actions", steps}};
    send({"POST", "/actions", "WebDriver:PerformActions"}, {{"actions", {mouse}}});
}

std::optional<std::vector<std::string>> Browser::uncaughtExceptions() {
    if (!launchOf(engine).tellsConsole) {
        return std::nullopt;
    }
    std::vector<std::string> uncaught;
    for (const json& entry : send({"POST", "/se/log", "log"}, {{"type", "browser"}})) {
        const std::string message = entry.at("message");
        // As "Uncaught TypeError: ..." or "Uncaught (in promise) ...".
        if (message.find("Uncaught") != std::string::npos) {
            uncaught.push_back(message);
        }
    }
    return uncaught;
}
