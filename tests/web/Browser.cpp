#include "tests/web/Browser.h"
#include "tests/e2e/Picture.h"

#include <curl/curl.h>
#include <openssl/evp.h>

#include <arpa/inet.h>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <memory>
#include <stdexcept>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

using nlohmann::json;

// Seconds the browser may take to start, or to answer one command.
constexpr long patience = 60;

sockaddr_in loopback(int port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return address;
}

// A port on the loopback that nothing listens on now, for the driver to take.
int freePort() {
    const int probe = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address = loopback(0);
    socklen_t size = sizeof address;
    if (bind(probe, reinterpret_cast<sockaddr*>(&address), size) != 0 ||
        getsockname(probe, reinterpret_cast<sockaddr*>(&address), &size) != 0) {
        throw std::runtime_error("browser: no free port on the loopback");
    }
    close(probe);
    return ntohs(address.sin_port);
}

std::string fromBase64(const std::string& text) {
    std::string bytes(text.size() / 4 * 3, '\0');
    const int size = EVP_DecodeBlock(reinterpret_cast<unsigned char*>(bytes.data()),
                                     reinterpret_cast<const unsigned char*>(text.data()),
                                     static_cast<int>(text.size()));
    // The decoder counts the padding's bytes too.
    bytes.resize(static_cast<std::size_t>(std::max(size, 0)) -
                 (text.size() - text.find_last_not_of('=') - 1));
    return bytes;
}

std::size_t appendTo(char* data, std::size_t size, std::size_t count, void* reply) {
    static_cast<std::string*>(reply)->append(data, size * count);
    return size * count;
}

} // namespace

Browser::Browser(Engine engine, Without without) : engine(engine), port(freePort()) {
    char pattern[] = "/tmp/wibble-browser-XXXXXX";
    if (!mkdtemp(pattern)) {
        throw std::runtime_error("browser: no folder for its profile");
    }
    folder = pattern;
    json capabilities = {{"timeouts", {{"script", patience * 1000}}}};
    const std::string portOption = "--port=" + std::to_string(port);
    if (engine == Engine::Chromium) {
        // Software WebGL; chromedriver itself keeps Chromium off the network and
        // its first-run pages. Without WebAssembly as the strictest security
        // settings have it: with no JavaScript compiler.
        json arguments = {"--headless", "--no-sandbox", "--use-angle=swiftshader",
                          "--enable-unsafe-swiftshader", "--disable-component-update"};
        if (without != Without::Nothing) {
            arguments.push_back(without == Without::WebGL ? "--disable-webgl"
                                                          : "--js-flags=--jitless");
        }
        capabilities["goog:chromeOptions"] = {{"binary", "/usr/bin/chromium"}, {"args", arguments}};
        capabilities["goog:loggingPrefs"] = {{"browser", "ALL"}};
        start({"chromedriver", portOption});
    } else if (engine == Engine::Firefox) {
        // Marionette's own recommended preferences keep Firefox off the network.
        std::ofstream(folder + "/user.js")
            << std::boolalpha << "user_pref(\"marionette.port\", " << port << ");\n"
            << "user_pref(\"webgl.disabled\", " << (without == Without::WebGL) << ");\n"
            << "user_pref(\"javascript.options.wasm\", " << (without != Without::WebAssembly)
            << ");\n";
        start({"firefox-esr", "--marionette", "--no-remote", "--profile", folder});
    } else {
        if (without == Without::WebAssembly) {
            throw std::invalid_argument("browser: MiniBrowser cannot turn WebAssembly off");
        }
        // WebKitWebDriver adds MiniBrowser's --automation only where it is given no arguments.
        capabilities["webkitgtk:browserOptions"]["args"] =
            without == Without::WebGL ? json{"--automation", "--enable-webgl=false"}
                                      : json::array();
        start({"WebKitWebDriver", portOption});
    }
    // Marionette takes the capabilities as geckodriver would hand them on, unwrapped.
    session =
        send({"POST", "", "WebDriver:NewSession"},
             engine == Engine::Firefox ? capabilities
                                       : json{{"capabilities", {{"alwaysMatch", capabilities}}}})
            .at("sessionId");
}

Browser::~Browser() {
    try {
        if (!session.empty()) {
            send({"DELETE", "", "WebDriver:DeleteSession"});
        }
    } catch (const std::exception&) {
        // The processes are ended below either way.
    }
    if (marionette) {
        std::fclose(marionette);
    }
    if (driver > 0) {
        // The driver and every browser process it started are one process group.
        kill(-driver, SIGTERM);
        waitpid(driver, nullptr, 0);
        kill(-driver, SIGKILL);
    }
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
}

void Browser::start(const std::vector<std::string>& command) {
    if (engine != Engine::Chromium) {
        server.emplace();
    }
    driver = fork();
    if (driver == 0) {
        setpgid(0, 0);
        prctl(PR_SET_PDEATHSIG, SIGKILL);
        std::freopen((folder + "/driver.log").c_str(), "w", stdout);
        dup2(STDOUT_FILENO, STDERR_FILENO);
        if (server) {
            setenv("DISPLAY", server->display().c_str(), 1);
            setenv("LIBGL_ALWAYS_SOFTWARE", "1", 1);
        }
        std::vector<char*> argv;
        argv.reserve(command.size() + 1);
        for (const std::string& word : command) {
            argv.push_back(const_cast<char*>(word.c_str()));
        }
        argv.push_back(nullptr);
        execvp(argv[0], argv.data());
        _exit(127);
    }
    // The drivers say nothing when they are ready, so their port is tried until it answers.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(patience);
    for (;;) {
        const int connection = socket(AF_INET, SOCK_STREAM, 0);
        const sockaddr_in address = loopback(port);
        if (connect(connection, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0) {
            if (engine == Engine::Firefox) {
                const timeval timeout{patience, 0};
                setsockopt(connection, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
                marionette = fdopen(connection, "r+");
                receive(); // Marionette greets first, with its protocol's name and level.
            } else {
                close(connection);
            }
            return;
        }
        close(connection);
        if (driver < 0 || waitpid(driver, nullptr, WNOHANG) == driver ||
            std::chrono::steady_clock::now() > deadline) {
            driver = -1;
            std::ifstream log(folder + "/driver.log");
            throw std::runtime_error(command[0] + " did not start: " +
                                     std::string(std::istreambuf_iterator<char>(log), {}));
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
}

json Browser::receive() {
    std::size_t size = 0;
    std::string packet;
    if (std::fscanf(marionette, "%zu:", &size) == 1) {
        packet.resize(size);
        packet.resize(std::fread(packet.data(), 1, size, marionette));
    }
    if (packet.empty() || packet.size() != size) {
        throw std::runtime_error("browser: Marionette closed the connection or took too long");
    }
    return json::parse(packet);
}

json Browser::send(const Command& command, const json& parameters) {
    const json given = parameters.is_null() ? json::object() : parameters;
    json value;
    if (engine == Engine::Firefox) {
        // Marionette's packets are a length, a colon and JSON: [0, id, name, parameters]
        // out, [1, id, error, result] back.
        const std::string message = json::array({0, ++lastId, command.marionette, given}).dump();
        std::fprintf(marionette, "%zu:%s", message.size(), message.c_str());
        std::fflush(marionette);
        json reply;
        do {
            reply = receive();
        } while (reply.at(1) != lastId);
        value = reply.at(2).is_null() ? reply.at(3) : json{{"error", reply.at(2)}};
    } else {
        const std::string url = "http://127.0.0.1:" + std::to_string(port) + "/session" +
                                (session.empty() ? "" : "/" + session) + command.path;
        const std::string body = given.dump();
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
        value = json::parse(reply);
    }
    // Both carry a command's result as its value, and a failure as an error.
    if (value.is_object() && value.contains("value")) {
        value = value["value"];
    }
    if (value.is_object() && value.contains("error")) {
        throw std::runtime_error(std::string("browser: ") + command.marionette +
                                 " failed: " + value.dump());
    }
    return value;
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

void Browser::click(int x, int y) {
    const json mouse = {{"type", "pointer"},
                        {"id", "mouse"},
                        {"actions",
                         {{{"type", "pointerMove"}, {"x", x}, {"y", y}, {"origin", "viewport"}},
                          {{"type", "pointerDown"}, {"button", 0}},
                          {{"type", "pointerUp"}, {"button", 0}}}}};
    send({"POST", "/actions", "WebDriver:PerformActions"}, {{"actions", {mouse}}});
}

std::optional<std::vector<std::string>> Browser::uncaughtExceptions() {
    if (engine != Engine::Chromium) {
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
