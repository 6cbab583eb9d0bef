// The Debian packages that scripts/package.sh writes, for this machine and for
// arm64: their control fields, their files, lintian's verdict, and the
// packaged program run end to end, the arm64 one under qemu's user-mode
// emulation.
#include "tests/e2e/ViewerTest.h"
#include "tests/package/Shell.h"

#include <gtest/gtest.h>

#include <regex>

#if !defined(WIBBLE_DEBIAN_PACKAGE) || !defined(WIBBLE_ARM64_PACKAGE)
#error "WIBBLE_DEBIAN_PACKAGE and WIBBLE_ARM64_PACKAGE name the packages under test"
#endif

namespace {

// One package, and the program as it installs it, unpacked once (dpkg-deb -x).
class DebianPackage : public Launcher {
public:
    DebianPackage(const char* path, const char* architecture, bool emulated) noexcept
        : path(path), architecture(architecture), emulated(emulated) {}

    ViewerProcess::Options options() const override {
        if (root.empty()) {
            root = temporaryFolder(std::string("debian-package-") + architecture);
            const CommandResult unpacked =
                runCommand(std::string("dpkg-deb -x ") + path + " " + root);
            EXPECT_EQ(unpacked.status, 0) << unpacked.output;
        }
        ViewerProcess::Options options;
        // No binfmt registration is assumed: qemu is named, and takes the
        // arm64 loader and libraries of the multiarch installation under /.
        if (emulated) {
            options.wrapper = {"qemu-aarch64-static", "-L", "/"};
        }
        options.program = {root + "/usr/bin/wibble"};
        options.patience = std::chrono::seconds(120);
        return options;
    }

    std::string field(const std::string& name) const {
        const CommandResult result =
            runCommand(std::string("dpkg-deb --field ") + path + " " + name);
        EXPECT_EQ(result.status, 0) << result.output;
        return result.output;
    }

    const char* const path;
    const char* const architecture;

private:
    const bool emulated;
    mutable std::string root;
};

const DebianPackage native(WIBBLE_DEBIAN_PACKAGE, "amd64", false);
const DebianPackage arm64(WIBBLE_ARM64_PACKAGE, "arm64", true);
INSTANTIATE_TEST_SUITE_P(Debian, EveryPlatform, ::testing::Values(&native));
INSTANTIATE_TEST_SUITE_P(DebianArm64, EveryPlatform, ::testing::Values(&arm64));

class DebianPackages : public ::testing::TestWithParam<const DebianPackage*> {};

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
}

TEST_P(DebianPackages, HoldTheProgramItsManualAndItsDocuments) {
    const CommandResult contents =
        runCommand(std::string("dpkg-deb --contents ") + GetParam()->path);
    ASSERT_EQ(contents.status, 0) << contents.output;
    for (const char* file : {"./usr/bin/wibble", "./usr/share/man/man1/wibble.1.gz",
                             "./usr/share/doc/wibble/README.md", "./usr/share/doc/wibble/copyright",
                             "./usr/share/doc/wibble/changelog.gz"}) {
        EXPECT_NE(contents.output.find(std::string(" ") + file + "\n"), std::string::npos) << file;
    }
}

TEST_P(DebianPackages, PassLintian) {
    const CommandResult lintian =
        runCommand(std::string("lintian --fail-on error,warning ") + GetParam()->path);
    EXPECT_EQ(lintian.status, 0) << lintian.output;
    for (const char* verdict : {"\nE: ", "\nW: "}) {
        EXPECT_EQ(("\n" + lintian.output).find(verdict), std::string::npos) << lintian.output;
    }
}

std::string architectureOf(const ::testing::TestParamInfo<const DebianPackage*>& package) {
    return package.param->architecture;
}
INSTANTIATE_TEST_SUITE_P(Debian, DebianPackages, ::testing::Values(&native, &arm64),
                         architectureOf);

} // namespace
