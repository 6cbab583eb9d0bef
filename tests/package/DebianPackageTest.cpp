// The Debian package that scripts/package.sh writes: its control fields, its
// files, lintian's verdict, and the packaged program run end to end.
#include "tests/e2e/ViewerTest.h"
#include "tests/package/Shell.h"

#include <gtest/gtest.h>

#include <regex>

#ifndef WIBBLE_DEBIAN_PACKAGE
#error "WIBBLE_DEBIAN_PACKAGE names the package under test"
#endif

namespace {

constexpr const char* package = WIBBLE_DEBIAN_PACKAGE;

std::string field(const std::string& name) {
    const CommandResult result =
        runCommand(std::string("dpkg-deb --field ") + package + " " + name);
    EXPECT_EQ(result.status, 0) << result.output;
    return result.output;
}

// The program as the package installs it, unpacked once (dpkg-deb -x).
class DebianPackage : public Launcher {
public:
    ViewerProcess::Options options() const override {
        static const std::string root = [] {
            const std::string folder = temporaryFolder("debian-package");
            const CommandResult unpacked =
                runCommand(std::string("dpkg-deb -x ") + package + " " + folder);
            EXPECT_EQ(unpacked.status, 0) << unpacked.output;
            return folder;
        }();
        ViewerProcess::Options options;
        options.program = {root + "/usr/bin/wibble"};
        return options;
    }
};
const DebianPackage debianPackage;
INSTANTIATE_TEST_SUITE_P(Debian, EveryPlatform, ::testing::Values(&debianPackage));

TEST(DebianPackage, NamesItselfAndTheRuntimeLibrariesItNeeds) {
    EXPECT_EQ(field("Package"), "wibble\n");
    EXPECT_EQ(field("Version"), WIBBLE_VERSION "\n");
    EXPECT_EQ(field("Architecture"), "amd64\n");
    const std::string depends = field("Depends");
    EXPECT_TRUE(std::regex_search(depends, std::regex("\\blibglut3[.0-9]*\\b"))) << depends;
    EXPECT_TRUE(std::regex_search(depends, std::regex("\\blib(opengl0|gl1)\\b"))) << depends;
    EXPECT_FALSE(std::regex_search(depends, std::regex("-dev\\b|\\bg\\+\\+|\\bcmake\\b")))
        << depends;
}

TEST(DebianPackage, HoldsTheProgramItsManualAndItsDocuments) {
    const CommandResult contents = runCommand(std::string("dpkg-deb --contents ") + package);
    ASSERT_EQ(contents.status, 0) << contents.output;
    for (const char* file : {"./usr/bin/wibble", "./usr/share/man/man1/wibble.1.gz",
                             "./usr/share/doc/wibble/README.md", "./usr/share/doc/wibble/copyright",
                             "./usr/share/doc/wibble/changelog.gz"}) {
        EXPECT_NE(contents.output.find(std::string(" ") + file + "\n"), std::string::npos) << file;
    }
}

TEST(DebianPackage, PassesLintian) {
    const CommandResult lintian =
        runCommand(std::string("lintian --fail-on error,warning ") + package);
    EXPECT_EQ(lintian.status, 0) << lintian.output;
    for (const char* verdict : {"\nE: ", "\nW: "}) {
        EXPECT_EQ(("\n" + lintian.output).find(verdict), std::string::npos) << lintian.output;
    }
}

} // namespace
