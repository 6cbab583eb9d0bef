// The Debian packages that scripts/package.sh writes, for this machine and for
// arm64, armhf and i386: their control fields, their files, lintian's verdict,
// what desktops and software centres take from them, and the packaged program
// run end to end, the others' under qemu's user-mode emulation, and started
// from its desktop entry; and this machine's installed by apt over the earlier
// release's in a fresh Debian root, and run there.
#include "tests/e2e/Picture.h"
#include "tests/e2e/ViewerTest.h"
#include "tests/support/Files.h"
#include "tests/support/ReleaseFiles.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <regex>
#include <set>
#include <sstream>
#include <unistd.h>
#include <utility>
#include <vector>

#if !defined(WIBBLE_DIST) || !defined(WIBBLE_VERSION) || !defined(WIBBLE_APPLICATION_ID) ||        \
    !defined(WIBBLE_HOST_ARCHITECTURE)
#error "WIBBLE_DIST and WIBBLE_VERSION name the packages under test, WIBBLE_APPLICATION_ID \
the name of their desktop files, WIBBLE_HOST_ARCHITECTURE the one built natively"
#endif

namespace {

// One package, and the program as it installs it, unpacked once (dpkg-deb -x).
class DebianPackage : public Launcher {
public:
    // The emulator is qemu's for the architecture, or null for this machine's.
    DebianPackage(const char* architecture, const char* emulator) noexcept
        : architecture(architecture), emulator(emulator) {}

    std::string fileName() const {
        return std::string("wibble_" WIBBLE_VERSION "_") + architecture + ".deb";
    }
    // Where scripts/package.sh writes it.
    std::string path() const { return WIBBLE_DIST + fileName(); }

    std::string unavailable() const override {
        return releaseFileUnavailable(fileName(), emulator ? architecture : "deb");
    }

    // The folder the package is unpacked in.
    const std::string& unpacked() const {
        if (root.empty()) {
            root = temporaryFolder(std::string("debian-package-") + architecture);
            const CommandResult unpack = runCommand({"dpkg-deb", "-x", path(), root});
            EXPECT_EQ(unpack.status, 0) << unpack.output;
        }
        return root;
    }

    ViewerProcess::Options options() const override {
        ViewerProcess::Options options;
        // No binfmt registration is assumed: qemu is named, and takes the
        // architecture's loader and libraries of the multiarch installation
        // under /.
        if (emulator != nullptr) {
            options.wrapper = {emulator, "-L", "/"};
        }
        options.program = {unpacked() + "/usr/bin/wibble"};
        options.patience = std::chrono::seconds(120);
        return options;
    }

    std::string field(const std::string& name) const {
        const CommandResult result = runCommand({"dpkg-deb", "--field", path(), name});
        EXPECT_EQ(result.status, 0) << result.output;
        return result.output;
    }

    const char* const architecture;

private:
    const char* const emulator;
    mutable std::string root;
};

const DebianPackage native(WIBBLE_HOST_ARCHITECTURE, nullptr);
const DebianPackage arm64Package("arm64", "qemu-aarch64-static");
const DebianPackage armhfPackage("armhf", "qemu-arm-static");
// Not named i386 alone, which 32-bit x86 compilers define as a macro.
const DebianPackage i386Package("i386", "qemu-i386-static");

// The cross-built `package`, or none where its architecture is this machine's,
// whose package is built and tested natively.
std::vector<const Launcher*> crossBuilt(const DebianPackage& package) {
    if (std::string(package.architecture) == WIBBLE_HOST_ARCHITECTURE) {
        return {};
    }
    return {&package};
}
std::vector<const DebianPackage*> everyPackage() {
    std::vector<const DebianPackage*> packages{&native};
    for (const DebianPackage* cross : {&arm64Package, &armhfPackage, &i386Package}) {
        if (std::string(cross->architecture) != WIBBLE_HOST_ARCHITECTURE) {
            packages.push_back(cross);
        }
    }
    return packages;
}

INSTANTIATE_TEST_SUITE_P(Debian, EveryPlatform, ::testing::Values(&native));
INSTANTIATE_TEST_SUITE_P(DebianArm64, EveryPlatform, ::testing::ValuesIn(crossBuilt(arm64Package)));
INSTANTIATE_TEST_SUITE_P(DebianArmhf, EveryPlatform, ::testing::ValuesIn(crossBuilt(armhfPackage)));
INSTANTIATE_TEST_SUITE_P(DebianI386, EveryPlatform, ::testing::ValuesIn(crossBuilt(i386Package)));

class DebianPackages : public ::testing::TestWithParam<const DebianPackage*> {
protected:
    void SetUp() override { SKIP_WHEN_UNAVAILABLE(GetParam()->unavailable()); }
};

TEST_P(DebianPackages, NameThemselvesAndTheRuntimeLibrariesTheyNeed) {
    const DebianPackage& package = *GetParam();
    EXPECT_EQ(package.field("Package"), "wibble\n");
    EXPECT_EQ(package.field("Version"), WIBBLE_VERSION "\n");
    EXPECT_EQ(package.field("Architecture"), std::string(package.architecture) + "\n");
    const std::string depends = package.field("Depends");
    EXPECT_TRUE(std::regex_search(depends, std::regex("\\blibglut3[.0-9]*\\b"))) << depends;
    EXPECT_TRUE(std::regex_search(depends, std::regex("\\blib(opengl0|gl1)\\b"))) << depends;
    EXPECT_FALSE(std::regex_search(depends, std::regex("-dev\\b|\\bg\\+\\+|\\bcmake\\b")))
        << depends;
    // i386's floats are SSE2's, which apt checks the processor for.
    EXPECT_EQ(std::regex_search(depends, std::regex("\\bsse2-support\\b")),
              package.architecture == std::string("i386"))
        << depends;
}

TEST_P(DebianPackages, HoldTheProgramItsManualAndItsDocuments) {
    const CommandResult contents = runCommand({"dpkg-deb", "--contents", GetParam()->path()});
    ASSERT_EQ(contents.status, 0) << contents.output;
    for (const char* file :
         {"./usr/bin/wibble", "./usr/share/man/man1/wibble.1.gz", "./usr/share/doc/wibble/README",
          "./usr/share/doc/wibble/copyright", "./usr/share/doc/wibble/changelog.gz"}) {
        EXPECT_NE(contents.output.find(std::string(" ") + file + "\n"), std::string::npos) << file;
    }
}

TEST_P(DebianPackages, PassLintian) {
    const CommandResult lintian =
        runCommand({"lintian", "--info", "--pedantic", GetParam()->path()});
    EXPECT_EQ(lintian.status, 0) << lintian.output;
    // Not a word on the package, even a pedantic one; only the notice that
    // lintian gives whoever runs it as root.
    EXPECT_EQ(std::regex_replace(lintian.output,
                                 std::regex("running with root privileges is not recommended!\n"),
                                 ""),
              "");
}

// The day of the changelog's newest entry, as AppStream writes dates.
std::string releaseDate() {
    const std::string changelog = WIBBLE_SOURCE_DIR "/platform/debian/changelog";
    const CommandResult changed =
        runCommand({"dpkg-parsechangelog", "-S", "Date", "-l", changelog});
    EXPECT_EQ(changed.status, 0) << changed.output;
    const CommandResult date = runCommand(
        {"date", "--utc", "+%F", "--date=" + changed.output.substr(0, changed.output.find('\n'))});
    EXPECT_EQ(date.status, 0) << date.output;
    return date.output.substr(0, date.output.find('\n'));
}

TEST_P(DebianPackages, AppearInDesktopMenusAndSoftwareCentres) {
    const std::string& root = GetParam()->unpacked();
    const std::string share = root + "/usr/share/";
    const std::string id = WIBBLE_APPLICATION_ID;

    // The desktop entry starts the program by name and shows the icon of the same ID, which
    // names the class of the program's windows too.
    const std::string entry = share + "applications/" + id + ".desktop";
    const std::string desktop = textOf(entry);
    for (const std::string& line :
         {std::string("Type=Application"), std::string("Exec=wibble"), "Icon=" + id,
          std::string("Terminal=false"), "StartupWMClass=" + id}) {
        EXPECT_NE(desktop.find("\n" + line + "\n"), std::string::npos) << line;
    }
    const CommandResult entryCheck = runCommand({"desktop-file-validate", entry});
    EXPECT_EQ(entryCheck.status, 0);
    EXPECT_EQ(entryCheck.output, "") << "not even a hint";

    // The icon in the hicolor theme: its drawing, and a picture of each size in that size's folder.
    const std::filesystem::path hicolor = share + "icons/hicolor";
    EXPECT_TRUE(std::filesystem::exists(hicolor / "scalable/apps" / (id + ".svg")));
    for (const int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        const std::string folder = std::to_string(size) + "x" + std::to_string(size);
        const ViewerWindow::Image icon =
            imageOfPng(textOf(hicolor / folder / "apps" / (id + ".png")));
        EXPECT_EQ(icon.width, size) << folder;
        EXPECT_EQ(icon.height, size) << folder;
    }

    // AppStream data of the entry and the program, for this version, dated as the changelog dates
    // it.
    const std::string metainfo = textOf(share + "metainfo/" + id + ".metainfo.xml");
    for (const std::string& element :
         {"<id>" + id + "</id>", "<launchable type=\"desktop-id\">" + id + ".desktop</launchable>",
          std::string("<binary>wibble</binary>"),
          "<release version=\"" WIBBLE_VERSION "\" date=\"" + releaseDate() + "\">"}) {
        EXPECT_NE(metainfo.find(element), std::string::npos) << element;
    }
    const CommandResult appstream = runCommand({"appstreamcli", "validate-tree", "--no-net", root});
    EXPECT_EQ(appstream.status, 0) << appstream.output;
    EXPECT_FALSE(std::regex_search(appstream.output, std::regex("(^|\n) *[EW]: ")))
        << appstream.output;
}

// The packaged program, started as its users start it.
class PackagedProgram : public ViewerTest {
protected:
    // Expects the window to show the lattice, to close cleanly, and the trace
    // to hold whole frames alone.
    static void expectShownAndClosedCleanly(ViewerProcess& viewer, ViewerWindow& window) {
        const int size = expected::windowSize;
        EXPECT_EQ(pictureFaults(awaitPicture(window, size, size), size, size), "");
        closeAndExpectSuccess(viewer, window);
        // A window system may ask for a second frame when the first came
        // before the window was exposed, as it did once under load; every
        // frame is whole.
        EXPECT_EQ(viewer.trace(), expected::traceOfFrames(expected::framesIn(viewer.trace())));
    }
};

class DesktopEntry : public PackagedProgram {};

// gio starts what the entry's Exec line names, found on the PATH, as a desktop's
// menu does, and returns. The program inherits gio's standard error, so its
// trace comes through as before, and it ends when its window is closed; the
// exit status that is checked is gio's.
TEST_F(DesktopEntry, StartsThePackagedProgramAsADesktopDoes) {
    SKIP_WHEN_UNAVAILABLE(native.unavailable());
    const std::string& root = native.unpacked();
    const char* path = std::getenv("PATH");
    ViewerProcess::Options options;
    options.program = {"gio", "launch",
                       root + "/usr/share/applications/" WIBBLE_APPLICATION_ID ".desktop"};
    options.environment = {{"PATH", root + "/usr/bin:" + (path ? path : "/usr/bin:/bin")}};
    ViewerProcess viewer(server.display(), options);
    ViewerWindow window = windowOnceDrawn(viewer);
    // Docks match the window to the entry, its name and icon, by its class.
    EXPECT_EQ(window.windowClass(),
              std::make_pair(std::string("wibble"), std::string(WIBBLE_APPLICATION_ID)));
    expectShownAndClosedCleanly(viewer, window);
}

// This machine's Debian release, as apt names it.
std::string debianSuite() {
    std::smatch match;
    const std::string release = textOf("/etc/os-release");
    return std::regex_search(release, match, std::regex("\nVERSION_CODENAME=(\\w+)"))
               ? match[1].str()
               : std::string();
}

// The files that dpkg lists for the package installed in `root`.
std::set<std::string> installedFiles(const std::string& root) {
    const CommandResult listed = runCommand({"chroot", root, "dpkg-query", "-L", "wibble"});
    EXPECT_EQ(listed.status, 0) << listed.output;
    std::set<std::string> files;
    std::istringstream lines(listed.output);
    for (std::string line; std::getline(lines, line);) {
        if (!std::filesystem::is_directory(root + line)) {
            files.insert(line);
        }
    }
    return files;
}

// Why the upgrade cannot be tried here; empty where it can.
std::string upgradeUnavailable() {
    if (std::string why = native.unavailable(); !why.empty()) {
        return why;
    }
    if (::geteuid() != 0) {
        return "a fresh Debian root is made as root (chroot, debootstrap)";
    }
    if (debianSuite().empty()) {
        return "/etc/os-release names no Debian release to make a fresh root of";
    }
    return earlierReleaseFile("_" WIBBLE_HOST_ARCHITECTURE ".deb").unavailable;
}

// apt installs `package` in `root` as a user installs a downloaded package.
CommandResult aptInstall(const std::string& root, const std::string& package) {
    const std::string inRoot = "/tmp/" + std::filesystem::path(package).filename().string();
    std::filesystem::copy_file(package, root + inRoot);
    return runCommand({"chroot", root, "apt-get", "install", "-y", "-q", inRoot},
                      {{"DEBIAN_FRONTEND", "noninteractive"}});
}

class DebianUpgrade : public PackagedProgram {};

// In a fresh root of this machine's Debian release (scripts/debian-root.sh),
// apt installs the earlier release's package, then this one's over it; the
// upgraded program then runs there as it runs here, on the test's X server,
// whose abstract socket reaches into the root.
TEST_F(DebianUpgrade, ReplacesTheEarlierPackageLeavingNoneOfItsFilesAndRuns) {
    SKIP_WHEN_UNAVAILABLE(upgradeUnavailable());
    const std::string root = temporaryFolder("debian-upgrade");
    const CommandResult fresh =
        runCommand({"bash", WIBBLE_SOURCE_DIR "/scripts/debian-root.sh", debianSuite(), root});
    ASSERT_EQ(fresh.status, 0) << fresh.output;
    const CommandResult earlier =
        aptInstall(root, earlierReleaseFile("_" WIBBLE_HOST_ARCHITECTURE ".deb").path);
    ASSERT_EQ(earlier.status, 0) << earlier.output;
    const std::set<std::string> earlierFiles = installedFiles(root);
    ASSERT_FALSE(earlierFiles.empty());

    const CommandResult upgrade = aptInstall(root, native.path());
    ASSERT_EQ(upgrade.status, 0) << upgrade.output;
    EXPECT_TRUE(std::regex_search(
        upgrade.output, std::regex("Unpacking wibble \\(" WIBBLE_VERSION "\\) over \\([^)]+\\)")))
        << upgrade.output;
    const CommandResult state = runCommand(
        {"chroot", root, "dpkg-query", "-W", "-f", "${Version} ${db:Status-Abbrev}", "wibble"});
    EXPECT_EQ(state.output, WIBBLE_VERSION " ii ");
    // What this package holds, as unpacked here; dpkg would go on listing an
    // earlier conffile that it left behind.
    const auto exists = [](const std::string& path) {
        return std::filesystem::exists(std::filesystem::symlink_status(path));
    };
    for (const std::string& file : earlierFiles) {
        if (!exists(native.unpacked() + file)) {
            EXPECT_FALSE(exists(root + file)) << file;
        }
    }

    ViewerProcess::Options options;
    options.wrapper = {"chroot", root};
    options.program = {"/usr/bin/wibble"};
    options.patience = std::chrono::seconds(120);
    ViewerProcess viewer(server.display(), options);
    ViewerWindow window = windowOnceDrawn(viewer);
    expectShownAndClosedCleanly(viewer, window);
}

std::string architectureOf(const ::testing::TestParamInfo<const DebianPackage*>& package) {
    return package.param->architecture;
}
INSTANTIATE_TEST_SUITE_P(Debian, DebianPackages, ::testing::ValuesIn(everyPackage()),
                         architectureOf);

} // namespace
