// The real wibble program under a private X server with Mesa's software renderer.
#include "model/Wibble.h"
#include "tests/TraceCapture.h"
#include "tests/e2e/ViewerTest.h"
#include "tests/support/CallFormat.h"
#include "tests/support/GraphicsCalls.h"

#include <GL/glut.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <sstream>

namespace {

using Viewer = ViewerTest;

// A program built here, started directly.
class BuiltProgram : public Launcher {
public:
    explicit BuiltProgram(const char* program) noexcept : program(program) {}
    ViewerProcess::Options options() const override {
        ViewerProcess::Options options;
        options.program = {program};
        return options;
    }

private:
    const char* program;
};
const BuiltProgram builtProgram(WIBBLE_EXECUTABLE);
const BuiltProgram builtExitProbe(WIBBLE_EXIT_PROBE);
INSTANTIATE_TEST_SUITE_P(Built, EveryPlatform, ::testing::Values(&builtProgram));
INSTANTIATE_TEST_SUITE_P(Built, ExitPath, ::testing::Values(&builtExitProbe));

TEST_F(Viewer, ImportsOnlyTheGraphicsCallsItIsKnownToMake) {
    const CommandResult symbols = runCommand({"nm", "-D", "--undefined-only", WIBBLE_EXECUTABLE});
    ASSERT_EQ(symbols.status, 0) << symbols.output;
    std::istringstream lines(symbols.output);
    std::set<std::string> imported;
    for (std::string type, name; lines >> type >> name;) {
        if (name.rfind("gl", 0) == 0) {
            imported.insert(name);
        }
    }
    // Every one of these is logged by the call recorder, so its log is complete.
#define NAME_OF_CALL(result, api, name, parameters, arguments) #name,
#define NAME_OF_REGISTRATION(registration, callback, parameters, arguments) #registration,
    const std::set<std::string> recorded{"glutInit", WIBBLE_GRAPHICS_CALLS(NAME_OF_CALL)
                                                         WIBBLE_CALLBACKS(NAME_OF_REGISTRATION)};
    EXPECT_TRUE(std::includes(recorded.begin(), recorded.end(), imported.begin(), imported.end()));
    EXPECT_GE(imported.size(), 20u);
}

TEST_F(Viewer, MakesTheStartUpCallsThenDrawsEverySpringOfAFrame) {
    ViewerProcess viewer(server.display(), recorded());
    ViewerWindow window = windowOnceDrawn(viewer);
    closeAndExpectSuccess(viewer, window);

    const int size = expected::windowSize;
    std::vector<std::string> calls{formatCall("glutInit", WIBBLE_EXECUTABLE),
                                   std::string("glutInit left ") + WIBBLE_EXECUTABLE,
                                   "glutInitDisplayMode(2)",
                                   formatCall("glutCreateWindow", expected::windowTitle),
                                   "glutDisplayFunc(callback)",
                                   "glutReshapeFunc(callback)",
                                   "glutMouseFunc(callback)",
                                   "glutKeyboardFunc(callback)",
                                   "glutMotionFunc(callback)",
                                   "glutPassiveMotionFunc(callback)",
                                   formatCall("glMatrixMode", GL_PROJECTION),
                                   "glLoadIdentity()",
                                   "glOrtho(-3,3,-3,3,-3,3)",
                                   formatCall("glMatrixMode", GL_MODELVIEW),
                                   "glLoadIdentity()",
                                   "glutMainLoop()",
                                   formatCall("reshape", size, size),
                                   formatCall("glViewport", 0, 0, size, size),
                                   "display()"};
    TraceCapture quiet;
    const std::vector<std::string> frame =
        expected::callsOfFrame(Wibble(7, 3, 2, 0.5f, 0.1f, 0.01f, 1.0f));
    calls.insert(calls.end(), frame.begin(), frame.end());
    EXPECT_EQ(loggedCalls(), calls);
    EXPECT_EQ(viewer.trace(), expected::traceOfFrames(1));
}

TEST_F(Viewer, RealClicksKeysAndMotionReachTheCallbacksSilently) {
    ViewerProcess viewer(server.display(), recorded());
    ViewerWindow window = windowOnceDrawn(viewer);
    clickAndType(window);
    closeAndExpectSuccess(viewer, window);

    EXPECT_EQ(viewer.trace(), expected::traceOfFrames(1));
    const std::vector<std::string> calls = loggedCalls();
    for (const char* expected :
         {"passiveMotion(100,120)", "mouse(0,0,100,120)", "mouse(0,1,100,120)",
          "mouse(1,0,100,120)", "mouse(2,1,100,120)", "mouse(3,0,100,120)", "mouse(4,1,100,120)",
          "motion(150,160)", "mouse(2,0,150,160)", "mouse(0,1,150,160)", "keyboard(97,150,160)",
          "keyboard(27,150,160)"}) {
        EXPECT_NE(std::find(calls.begin(), calls.end(), expected), calls.end()) << expected;
    }
    EXPECT_EQ(std::count(calls.begin(), calls.end(), "display()"), 1);
}

TEST_F(Viewer, GlutTakesItsOwnOptionsAndTheRestAreIgnored) {
    ViewerProcess viewer(server.display(),
                         recorded({"-geometry", "200x100+10+20", "--unknown", "word"}));
    ViewerWindow window = windowOnceDrawn(viewer);
    closeAndExpectSuccess(viewer, window);
    EXPECT_EQ(viewer.trace(), expected::traceOfFrames(1));
    const std::vector<std::string> calls = loggedCalls();
    ASSERT_GE(calls.size(), 2u);
    EXPECT_EQ(calls[1], std::string("glutInit left ") + WIBBLE_EXECUTABLE + " --unknown word");
    EXPECT_NE(std::find(calls.begin(), calls.end(), "reshape(200,100)"), calls.end());
}

} // namespace
