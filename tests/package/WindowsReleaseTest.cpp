// The Windows release that scripts/package.sh writes, unzipped into a fresh
// folder and run by Wine on the test's X server, with Mesa underneath.
#include "tests/e2e/ViewerTest.h"
#include "tests/package/Shell.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>
#include <vector>

#if !defined(WIBBLE_WINDOWS_RELEASE) || !defined(WIBBLE_WINDOWS_EXIT_PROBE) ||                     \
    !defined(WIBBLE_WINDOWS_UNAVAILABLE)
#error "WIBBLE_WINDOWS_* name the release, the exit probe and why there is no release"
#endif

namespace {

// The path as Windows programs under Wine see it, on the drive Z: that Wine maps to /.
std::string windowsPath(std::string path) {
    std::replace(path.begin(), path.end(), '/', '\\');
    return "Z:" + path;
}

// Why scripts/package.sh wrote no release, as it said; empty where it wrote one.
std::string releaseUnavailable() {
    std::string reason;
    if (!std::filesystem::exists(WIBBLE_WINDOWS_RELEASE)) {
        std::getline(std::ifstream(WIBBLE_WINDOWS_UNAVAILABLE), reason);
    }
    return reason;
}

// The unzipped release, with the exit probe copied in beside the program.
const std::string& releaseFolder() {
    static const std::string folder = [] {
        const std::string unzipped = temporaryFolder("windows-release");
        const CommandResult unzip =
            runCommand("cd " + unzipped + " && cmake -E tar xf " + WIBBLE_WINDOWS_RELEASE);
        EXPECT_EQ(unzip.status, 0) << unzip.output;
        const std::string top = std::filesystem::path(WIBBLE_WINDOWS_RELEASE).stem();
        std::filesystem::copy_file(WIBBLE_WINDOWS_EXIT_PROBE,
                                   unzipped + "/" + top + "/wibble_exit_probe.exe");
        return unzipped + "/" + top;
    }();
    return folder;
}

// A Wine prefix of the test program's own, made once (wineboot -i).
const std::string& winePrefix() {
    static const std::string prefix = [] {
        std::string folder = temporaryFolder("wine-prefix");
        const CommandResult boot =
            runCommand("env -u DISPLAY WINEPREFIX=" + folder +
                       " WINEDEBUG=-all sh -c 'wineboot -i && wineserver -w'");
        EXPECT_EQ(boot.status, 0) << boot.output;
        return folder;
    }();
    return prefix;
}

// A program of the release, started by Wine.
class WineRelease : public Launcher {
public:
    explicit WineRelease(const char* program) noexcept : program(program) {}

    ViewerProcess::Options options() const override {
        ViewerProcess::Options options;
        // freeglut for Windows would take $DISPLAY, which Wine passes on, for
        // the name of a display device, and warn on the trace.
        options.program = {"wine", "cmd", "/c",
                           "set DISPLAY=& " + windowsPath(releaseFolder() + "/" + program)};
        options.environment = {{"WINEPREFIX", winePrefix()}, {"WINEDEBUG", "-all"}};
        options.windowsLineEnds = true;
        options.patience = std::chrono::seconds(120);
        return options;
    }

    // Ends every Wine process of the prefix, which would hold on to this test's X server.
    void finish() const override {
        if (unavailable().empty()) {
            runCommand("WINEPREFIX=" + winePrefix() + " wineserver -k");
        }
    }

    std::string unavailable() const override { return releaseUnavailable(); }

private:
    const char* program;
};

const WineRelease wibble("wibble.exe");
INSTANTIATE_TEST_SUITE_P(Wine, EveryPlatform, ::testing::Values(&wibble));

std::vector<std::string> wordsOf(const std::string& text) {
    std::istringstream words(text);
    return {std::istream_iterator<std::string>(words), std::istream_iterator<std::string>()};
}

TEST(WindowsRelease, HoldsTheProgramTheDllsItNeedsAndItsTexts) {
    SKIP_WHEN_UNAVAILABLE(releaseUnavailable());
    std::set<std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator(releaseFolder())) {
        files.insert(entry.path().filename());
    }
    EXPECT_EQ(files, (std::set<std::string>{"LICENSE", "README.md", "libglut.dll", "wibble.exe",
                                            "wibble_exit_probe.exe"}));

    const CommandResult dump =
        runCommand("x86_64-w64-mingw32-objdump -p " + releaseFolder() + "/wibble.exe");
    ASSERT_EQ(dump.status, 0) << dump.output;
    const std::vector<std::string> words = wordsOf(dump.output);
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

class WindowsExit : public ViewerTest {
protected:
    void SetUp() override { SKIP_WHEN_UNAVAILABLE(probe.unavailable()); }
    void TearDown() override { probe.finish(); }

    const WineRelease probe{"wibble_exit_probe.exe"};
};

TEST_F(WindowsExit, ClosingTheWindowRunsTheTerminationHandlers) {
    ViewerProcess viewer(server.display(), probe.options());
    ASSERT_TRUE(viewer.waitForFrames(1)) << viewer.trace();
    ViewerWindow window(server.display(), title);
    closeAndExpectSuccess(viewer, window);
    EXPECT_EQ(viewer.trace(), traceOfFrames(1) + "exit mark: termination handlers ran\n");
}

} // namespace
