// The Windows release that scripts/package.sh writes, both as the zip unpacked
// into a folder and as its installer installs it, each in a Wine prefix of its
// own, run by Wine on the test's X server with Mesa underneath; the program's
// icon and version; the installer's silent install and uninstall, and its
// upgrade of the earlier release that scripts/earlier-release.sh builds.
#include "tests/e2e/ViewerTest.h"
#include "tests/support/Files.h"
#include "tests/support/ReleaseFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <ostream>
#include <regex>
#include <set>
#include <sstream>
#include <utility>
#include <vector>

#if !defined(WIBBLE_DIST) || !defined(WIBBLE_WINDOWS_EXIT_PROBE) || !defined(WIBBLE_SOURCE_DIR) || \
    !defined(WIBBLE_VERSION) || !defined(WIBBLE_APPLICATION_ID)
#error "WIBBLE_DIST names the packages' folder, WIBBLE_WINDOWS_EXIT_PROBE the exit probe; \
WIBBLE_SOURCE_DIR, WIBBLE_VERSION and WIBBLE_APPLICATION_ID what they are made from"
#endif

#define WIBBLE_WINDOWS_RELEASE WIBBLE_DIST "wibble-" WIBBLE_VERSION "-win64.zip"
#define WIBBLE_WINDOWS_INSTALLER WIBBLE_DIST "wibble-" WIBBLE_VERSION "-win64-setup.exe"

namespace {

// The path as Windows programs under Wine see it, on the drive Z: that Wine maps to /.
std::string windowsPath(std::string path) {
    std::replace(path.begin(), path.end(), '/', '\\');
    return "Z:" + path;
}

// Why scripts/package.sh wrote no release, as it said in dist/left-out.txt;
// empty where it wrote one. The zip and the installer are made together or
// not at all.
std::string releaseUnavailable() {
    std::ifstream leftOut(WIBBLE_DIST "left-out.txt");
    for (std::string line; std::getline(leftOut, line);) {
        if (line.rfind("windows: ", 0) == 0) {
            return line.substr(9);
        }
    }
    for (const char* file : {WIBBLE_WINDOWS_RELEASE, WIBBLE_WINDOWS_INSTALLER}) {
        if (std::string why =
                releaseFileUnavailable(std::filesystem::path(file).filename(), "windows");
            !why.empty()) {
            return why;
        }
    }
    return {};
}

// What Wine runs with in `prefix`: quietly, and without Wine's menu builder,
// which would copy the installer's Start-menu shortcut onto the desktop of
// whoever runs the tests.
std::vector<std::pair<std::string, std::string>> wineEnvironment(const std::string& prefix) {
    return {{"WINEPREFIX", prefix},
            {"WINEDEBUG", "-all"},
            {"WINEDLLOVERRIDES", "winemenubuilder.exe=d"}};
}

// `command`, a program of Wine's, run to its end in `prefix` without a display.
CommandResult inWine(const std::string& prefix, std::vector<std::string> command) {
    command.insert(command.begin(), {"env", "-u", "DISPLAY"});
    return runCommand(std::move(command), wineEnvironment(prefix));
}

// Waits until every program in `prefix` has ended.
CommandResult awaitWineEnd(const std::string& prefix) {
    return inWine(prefix, {"wineserver", "-w"});
}

// A new Wine prefix of the test program's own, for `purpose` (wineboot -i).
// Its Wine server, which lingers after the last program, is ended before the
// prefix is removed: Wine finds a prefix's server by the folder's inode, which
// the next test's new prefix may be given, and would then use the old one.
std::string newWinePrefix(const std::string& purpose) {
    std::string prefix = temporaryFolder(purpose, [](const std::string& prefix) {
        inWine(prefix, {"wineserver", "-k"});
    });
    const CommandResult boot = inWine(prefix, {"wineboot", "-i"});
    EXPECT_EQ(boot.status, 0) << boot.output;
    const CommandResult booted = awaitWineEnd(prefix);
    EXPECT_EQ(booted.status, 0) << booted.output;
    return prefix;
}

// Runs `command` in Wine and waits until every program it started in the
// prefix has ended: an uninstaller hands its work on to a copy of itself.
CommandResult runInWine(const std::string& prefix, std::vector<std::string> command) {
    command.insert(command.begin(), "wine");
    CommandResult run = inWine(prefix, std::move(command));
    if (run.status == 0) {
        const CommandResult ended = awaitWineEnd(prefix);
        run.status = ended.status;
        run.output += ended.output;
    }
    return run;
}

// The user's list of installed programs (Apps & features), a key an entry.
constexpr const char* installedPrograms =
    R"(HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall)";

// wibble's entry in that list, value by name; empty where there is none.
std::map<std::string, std::string> uninstallEntry(const std::string& prefix) {
    const CommandResult query =
        inWine(prefix, {"wine", "reg", "query",
                        std::string(installedPrograms) + "\\" WIBBLE_APPLICATION_ID});
    std::map<std::string, std::string> values;
    const std::regex value(R"(\s+(\S+)\s+REG_\w+\s+(.*?)\r?)");
    std::istringstream lines(query.output);
    for (std::string line; std::getline(lines, line);) {
        if (std::smatch match; std::regex_match(line, match, value)) {
            values[match[1]] = match[2];
        }
    }
    return values;
}

// The folder that wibble's entry in Apps & features names, as a path here.
std::string installedFolder(const std::string& prefix) {
    const CommandResult folder =
        inWine(prefix, {"winepath", "-u", uninstallEntry(prefix)["InstallLocation"]});
    EXPECT_EQ(folder.status, 0) << folder.output;
    return std::filesystem::path(folder.output.substr(0, folder.output.find('\n')))
        .lexically_normal();
}

// Runs `installer` in `prefix` silently, as /S does, with `arguments` after;
// the folder it chose.
std::string install(const std::string& prefix,
                    const std::string& installer = WIBBLE_WINDOWS_INSTALLER,
                    const std::vector<std::string>& arguments = {}) {
    std::vector<std::string> command{installer, "/S"};
    command.insert(command.end(), arguments.begin(), arguments.end());
    const CommandResult setup = runInWine(prefix, command);
    EXPECT_EQ(setup.status, 0) << setup.output;
    return installedFolder(prefix);
}

void pressAndRelease(ViewerWindow& window, const char* key) {
    window.pressKey(key, true);
    window.pressKey(key, false);
}

// Runs this release's installer in `prefix` with `arguments` and its pages
// shown on `display`, and goes through them from the keyboard as a user does:
// Install on the folder page, then Finish on the last, which starts the
// program as that page offers; the program's window is then closed. The
// folder it chose.
std::string installThroughItsPages(const std::string& prefix, const std::string& display,
                                   const std::vector<std::string>& arguments) {
    std::vector<std::string> command{"wine", WIBBLE_WINDOWS_INSTALLER};
    command.insert(command.end(), arguments.begin(), arguments.end());
    Process::Options options;
    options.environment = wineEnvironment(prefix);
    options.environment.emplace_back("DISPLAY", display);
    options.patience = std::chrono::seconds(120);
    Process setup(command, options);
    // NSIS's caption, which ends with a space.
    ViewerWindow pages(display, "wibble Setup ", std::chrono::seconds(120));
    // With no window manager, keys go to the window under the pointer.
    pages.movePointer(pages.grab().width / 2, 10);
    pressAndRelease(pages, "Return");
    // The last page shows the wizard's picture, blue, down its left side,
    // where the pages before it are grey.
    const auto lastPage = [](const ViewerWindow::Image& image) {
        const std::uint32_t pixel = image.at(20, image.height / 2);
        return (pixel & 0xff) > ((pixel >> 16) & 0xff) + 64;
    };
    EXPECT_TRUE(lastPage(pages.grabUntil(lastPage, 120))) << "the last page was never shown";
    pressAndRelease(pages, "Return");
    // The program holds on to the installer's output, so it is closed first.
    ViewerWindow program(display, expected::windowTitle, std::chrono::seconds(120));
    program.close();
    EXPECT_EQ(setup.wait(), 0) << setup.read();
    const CommandResult ended = awaitWineEnd(prefix);
    EXPECT_EQ(ended.status, 0) << ended.output;
    return installedFolder(prefix);
}

// The release in a folder of a Wine prefix, made once.
struct Release {
    std::string prefix;
    std::string folder;
};

void addExitProbe(const Release& release) {
    std::filesystem::copy_file(WIBBLE_WINDOWS_EXIT_PROBE,
                               release.folder + "/wibble_exit_probe.exe");
}

// The zip, unzipped.
const Release& unzipped() {
    static const Release release = [] {
        const std::string unzipped = temporaryFolder("windows-release");
        const CommandResult unzip = runCommand({"env", "-C", unzipped, "cmake", "-E", "tar", "xf",
                                                std::string(WIBBLE_WINDOWS_RELEASE)});
        EXPECT_EQ(unzip.status, 0) << unzip.output;
        const std::string top = std::filesystem::path(WIBBLE_WINDOWS_RELEASE).stem();
        Release made{newWinePrefix("wine-prefix"), unzipped + "/" + top};
        addExitProbe(made);
        return made;
    }();
    return release;
}

// The installer's work, in a prefix where it is never uninstalled.
const Release& installed() {
    static const Release release = [] {
        const std::string prefix = newWinePrefix("wine-installed");
        Release made{prefix, install(prefix)};
        addExitProbe(made);
        return made;
    }();
    return release;
}

// A program of the release, started by Wine.
class WineRelease : public Launcher {
public:
    WineRelease(const Release& (*release)(), const char* program) noexcept
        : release(release), program(program) {}

    ViewerProcess::Options options() const override {
        ViewerProcess::Options options;
        // freeglut for Windows would take $DISPLAY, which Wine passes on, for
        // the name of a display device, and warn on the trace.
        options.program = {"wine", "cmd", "/c",
                           "set DISPLAY=& " + windowsPath(release().folder + "/" + program)};
        options.environment = wineEnvironment(release().prefix);
        options.windowsLineEnds = true;
        options.patience = std::chrono::seconds(120);
        return options;
    }

    // Ends every Wine process of the prefix, which would hold on to this test's X server.
    void finish() const override {
        if (unavailable().empty()) {
            inWine(release().prefix, {"wineserver", "-k"});
        }
    }

    std::string unavailable() const override { return releaseUnavailable(); }

private:
    const Release& (*release)();
    const char* program;
};

const WineRelease zipped(unzipped, "wibble.exe");
const WineRelease installedByItsInstaller(installed, "wibble.exe");
INSTANTIATE_TEST_SUITE_P(Wine, EveryPlatform, ::testing::Values(&zipped));
INSTANTIATE_TEST_SUITE_P(WineInstalled, EveryPlatform, ::testing::Values(&installedByItsInstaller));

std::set<std::string> filesIn(const std::string& folder) {
    std::set<std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        files.insert(entry.path().filename());
    }
    return files;
}

// The files of a release: the program, the DLL it needs and the texts, which Windows opens;
// and `more`.
std::set<std::string> releaseFilesAnd(const char* more) {
    return {"LICENSE.txt", "README.txt", "THIRD-PARTY-NOTICES.txt",
            "libglut.dll", "wibble.exe", more};
}

// The texts of the release in `folder` end their lines as Windows does, and the notices give
// the copyright and licence of what it bundles: freeglut, and MinGW-w64's runtime with gdtoa.
void expectTextsAndNotices(const std::string& folder) {
    for (const char* text : {"LICENSE.txt", "README.txt", "THIRD-PARTY-NOTICES.txt"}) {
        const std::string content = textOf(folder + "/" + text);
        EXPECT_FALSE(std::regex_search(content, std::regex("[^\r]\n"))) << text;
    }
    const std::string notices = textOf(folder + "/THIRD-PARTY-NOTICES.txt");
    for (const char* notice :
         {"(C) 1999-2000 Pawel W. Olszta. All Rights Reserved.",
          "The above copyright notice and this permission notice shall be included in",
          "2009-2016 the mingw-w64 project", "Redistributions in binary form must reproduce",
          "1997-2001 Lucent Technologies", "2004, 2005 David M. Gay"}) {
        EXPECT_NE(notices.find(notice), std::string::npos) << notice;
    }
}

TEST(WindowsRelease, HoldsTheProgramTheDllsItNeedsItsTextsAndTheirNotices) {
    SKIP_WHEN_UNAVAILABLE(releaseUnavailable());
    EXPECT_EQ(filesIn(unzipped().folder), releaseFilesAnd("wibble_exit_probe.exe"));
    expectTextsAndNotices(unzipped().folder);

    const CommandResult dump =
        runCommand({"x86_64-w64-mingw32-objdump", "-p", unzipped().folder + "/wibble.exe"});
    ASSERT_EQ(dump.status, 0) << dump.output;
    std::istringstream text(dump.output);
    const std::vector<std::string> words{std::istream_iterator<std::string>(text),
                                         std::istream_iterator<std::string>()};
    // Every DLL it loads is Windows' own or in the release.
    std::set<std::string> dlls;
    for (std::size_t at = 0; at + 2 < words.size(); ++at) {
        if (words[at] == "DLL" && words[at + 1] == "Name:") {
            dlls.insert(words[at + 2]);
        }
    }
    EXPECT_EQ(dlls,
              (std::set<std::string>{"KERNEL32.dll", "msvcrt.dll", "OPENGL32.dll", "libglut.dll"}));
    // GLUT is entered through the forms that are handed the program's exit.
    const std::set<std::string> imported(words.begin(), words.end());
    for (const char* form : {"__glutInitWithExit", "__glutCreateWindowWithExit"}) {
        EXPECT_EQ(imported.count(form), 1u) << form;
    }
    for (const char* form : {"glutInit", "glutCreateWindow"}) {
        EXPECT_EQ(imported.count(form), 0u) << form;
    }
}

// The licence's copyright line and the holder it names.
struct Copyright {
    std::string line;
    std::string holder;
};
Copyright copyright() {
    const std::string licence = textOf(WIBBLE_SOURCE_DIR "/LICENSE");
    std::smatch match;
    EXPECT_TRUE(std::regex_search(licence, match, std::regex("Copyright \\(c\\) [0-9]+ (.*)")));
    return {match[0], match[1]};
}

TEST(WindowsRelease, CarriesItsIconForExplorerAndItsWindowsAndItsVersion) {
    SKIP_WHEN_UNAVAILABLE(releaseUnavailable());
    // The program's resources, written back as the script they could be made from.
    const CommandResult resources = runCommand(
        {"x86_64-w64-mingw32-windres", "-O", "rc", "-i", unzipped().folder + "/wibble.exe"});
    ASSERT_EQ(resources.status, 0) << resources.output;
    const std::string& script = resources.output;

    // Under the name freeglut loads for its windows, every size Windows shows,
    // square and in 32-bit colour. Each entry gives its width and height as
    // octal escapes; 0 stands for 256.
    const std::size_t group = script.find("\"GLUT_ICON\" 14 /* RT_GROUP_ICON */");
    ASSERT_NE(group, std::string::npos) << script;
    const std::string icons = script.substr(group, script.find("END", group) - group);
    const std::regex entry(R"("\\([0-7]{3})\\\1\\000\\000", 1, 32,)");
    std::set<int> sizes;
    for (std::sregex_iterator at(icons.begin(), icons.end(), entry), end; at != end; ++at) {
        const int size = std::stoi((*at)[1], nullptr, 8);
        sizes.insert(size == 0 ? 256 : size);
    }
    EXPECT_EQ(sizes, (std::set<int>{16, 24, 32, 48, 64, 256}));

    // The version, and the holder and copyright as the licence gives them.
    std::map<std::string, std::string> strings;
    const std::regex value(R"re(VALUE "(\w+)", "([^"]*)"\n)re");
    for (std::sregex_iterator at(script.begin(), script.end(), value), end; at != end; ++at) {
        strings[(*at)[1]] = (*at)[2];
    }
    const std::map<std::string, std::string> expected = {
        {"ProductName", "wibble"},           {"ProductVersion", WIBBLE_VERSION},
        {"FileVersion", WIBBLE_VERSION},     {"FileDescription", "wibble soft-body viewer"},
        {"CompanyName", copyright().holder}, {"LegalCopyright", copyright().line},
        {"InternalName", "wibble"},          {"OriginalFilename", "wibble.exe"}};
    EXPECT_EQ(strings, expected);
}

// Paths under `folder`, relative to it, whose names hold "wibble" in any case.
std::set<std::string> pathsNamedWibble(const std::string& folder) {
    std::set<std::string> named;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
        std::string name = entry.path().filename();
        std::transform(name.begin(), name.end(), name.begin(),
                       [](unsigned char c) { return std::tolower(c); });
        if (name.find("wibble") != std::string::npos) {
            named.insert(entry.path().lexically_relative(folder));
        }
    }
    return named;
}

// How many programs in the user's Apps & features are called wibble.
std::size_t installedProgramsNamedWibble(const std::string& prefix) {
    const CommandResult query = inWine(prefix, {"wine", "reg", "query", installedPrograms, "/s"});
    const std::regex named(R"(\n\s+DisplayName\s+REG_SZ\s+wibble\r?\n)");
    return static_cast<std::size_t>(
        std::distance(std::sregex_iterator(query.output.begin(), query.output.end(), named),
                      std::sregex_iterator()));
}

// Uninstalls silently with the uninstaller in the folder that wibble's entry
// in Apps & features names, and expects nothing of it left for the user: no
// file, no shortcut, no entry.
void uninstallLeavingNothing(const std::string& prefix) {
    const CommandResult uninstall =
        runInWine(prefix, {uninstallEntry(prefix)["InstallLocation"] + "\\uninstall.exe", "/S"});
    EXPECT_EQ(uninstall.status, 0) << uninstall.output;
    EXPECT_EQ(pathsNamedWibble(prefix + "/drive_c"), std::set<std::string>{});
    EXPECT_EQ(uninstallEntry(prefix), (std::map<std::string, std::string>{}));
}

TEST(WindowsInstaller, InstallsForTheUserAndUninstallsSilentlyLeavingNothing) {
    SKIP_WHEN_UNAVAILABLE(releaseUnavailable());
    const std::string prefix = newWinePrefix("wine-install-and-uninstall");
    const std::string users = prefix + "/drive_c/users";
    const std::string folder = install(prefix);

    // The zip's program and texts and the uninstaller, in the user's own
    // programs folder, and a shortcut in the user's Start menu.
    const std::string programs = "/AppData/Local/Programs/wibble";
    ASSERT_GT(folder.size(), programs.size());
    ASSERT_EQ(folder.substr(folder.size() - programs.size()), programs);
    const std::string user =
        std::filesystem::path(folder.substr(0, folder.size() - programs.size())).filename();
    EXPECT_EQ(filesIn(folder), releaseFilesAnd("uninstall.exe"));
    expectTextsAndNotices(folder);
    EXPECT_EQ(textOf(folder + "/wibble.exe"), textOf(unzipped().folder + "/wibble.exe"));
    EXPECT_EQ(pathsNamedWibble(users),
              (std::set<std::string>{
                  user + programs, user + programs + "/wibble.exe",
                  user + "/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/wibble.lnk"}));

    // Its entry in Apps & features.
    std::map<std::string, std::string> entry = uninstallEntry(prefix);
    const std::string location = entry["InstallLocation"];
    EXPECT_EQ(entry["DisplayName"], "wibble");
    EXPECT_EQ(entry["DisplayVersion"], WIBBLE_VERSION);
    EXPECT_EQ(entry["Publisher"], copyright().holder);
    EXPECT_EQ(entry["DisplayIcon"], location + "\\wibble.exe,0");
    const std::string uninstaller = location + "\\uninstall.exe";
    EXPECT_EQ(entry["UninstallString"], "\"" + uninstaller + "\"");

    uninstallLeavingNothing(prefix);
}

// An upgrade of the earlier release, which its own installer installed
// silently in the folder it offers: into the folder that this installer
// offers, the same, or into one chosen with /D, silently or through the
// installer's pages.
struct Upgrade {
    const char* name;
    // The folder given with /D=, or null. Wine quotes an argument that holds
    // a space, and the installer takes /D= unquoted alone: this one has none.
    const char* chosenFolder;
    bool throughItsPages;
};

void PrintTo(const Upgrade& upgrade, std::ostream* out) {
    *out << upgrade.name;
}

class WindowsUpgrade : public ::testing::TestWithParam<Upgrade> {
protected:
    // Where the pages and the program they start are shown.
    XvfbServer server;
};

TEST_P(WindowsUpgrade, LeavesOnlyThisReleaseAndOneEntryThenUninstallsLeavingNothing) {
    SKIP_WHEN_UNAVAILABLE(releaseUnavailable());
    const EarlierReleaseFile earlier = earlierReleaseFile("-win64-setup.exe");
    SKIP_WHEN_UNAVAILABLE(earlier.unavailable);
    const std::string prefix = newWinePrefix(std::string("wine-upgrade-") + GetParam().name);
    const std::string earlierFolder = install(prefix, earlier.path);
    ASSERT_TRUE(std::filesystem::exists(earlierFolder + "/wibble.exe")) << earlierFolder;

    std::vector<std::string> arguments;
    if (GetParam().chosenFolder != nullptr) {
        arguments.push_back(std::string("/D=") + GetParam().chosenFolder);
    }
    const std::string folder = GetParam().throughItsPages
                                   ? installThroughItsPages(prefix, server.display(), arguments)
                                   : install(prefix, WIBBLE_WINDOWS_INSTALLER, arguments);
    EXPECT_EQ(filesIn(folder), releaseFilesAnd("uninstall.exe"));
    std::map<std::string, std::string> entry = uninstallEntry(prefix);
    if (GetParam().chosenFolder != nullptr) {
        EXPECT_EQ(entry["InstallLocation"], GetParam().chosenFolder);
        EXPECT_FALSE(std::filesystem::exists(earlierFolder)) << earlierFolder;
    } else {
        EXPECT_EQ(folder, earlierFolder);
    }
    EXPECT_EQ(entry["DisplayVersion"], WIBBLE_VERSION);
    EXPECT_EQ(installedProgramsNamedWibble(prefix), 1u);

    uninstallLeavingNothing(prefix);
    EXPECT_FALSE(std::filesystem::exists(folder)) << folder;
}

INSTANTIATE_TEST_SUITE_P(
    Windows, WindowsUpgrade,
    ::testing::Values(Upgrade{"SilentlyInTheSameFolder", nullptr, false},
                      Upgrade{"SilentlyIntoAChosenFolder", "C:\\Apps\\wibble", false},
                      Upgrade{"ThroughItsPagesInTheSameFolder", nullptr, true},
                      Upgrade{"ThroughItsPagesIntoAChosenFolder", "C:\\Apps\\wibble", true}),
    [](const ::testing::TestParamInfo<Upgrade>& upgrade) { return upgrade.param.name; });

const WineRelease zippedProbe(unzipped, "wibble_exit_probe.exe");
const WineRelease installedProbe(installed, "wibble_exit_probe.exe");
INSTANTIATE_TEST_SUITE_P(Wine, ExitPath, ::testing::Values(&zippedProbe));
INSTANTIATE_TEST_SUITE_P(WineInstalled, ExitPath, ::testing::Values(&installedProbe));

} // namespace
