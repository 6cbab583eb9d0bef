// The real wibble program under a private X server with Mesa's software renderer.
#include "model/Wibble.h"
#include "tests/TraceCapture.h"
#include "tests/e2e/ViewerTest.h"
#include "tests/support/CallFormat.h"
#include "tests/support/Sanitizers.h"

#include <GL/glut.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

namespace {

using Viewer = ViewerTest;

// The program built here, started directly.
class BuiltProgram : public Launcher {
public:
    ViewerProcess::Options options() const override { return {}; }
};
const BuiltProgram builtProgram;
INSTANTIATE_TEST_SUITE_P(Built, EveryPlatform, ::testing::Values(&builtProgram));

TEST_F(Viewer, ImportsOnlyTheGraphicsCallsItIsKnownToMake) {
    const std::string command = std::string("nm -D --undefined-only ") + WIBBLE_EXECUTABLE;
    FILE* symbols = popen(command.c_str(), "r");
    ASSERT_NE(symbols, nullptr);
    std::set<std::string> imported;
    char type[8], name[256];
    while (std::fscanf(symbols, "%7s %255s", type, name) == 2) {
        if (std::string(name).rfind("gl", 0) == 0) {
            imported.insert(name);
        }
    }
    ASSERT_EQ(pclose(symbols), 0);
    // Every one of these is logged by the call recorder, so its log is complete.
    const std::set<std::string> recorded{"glutInit",
                                         "glutInitDisplayMode",
                                         "glutCreateWindow",
                                         "glutDisplayFunc",
                                         "glutReshapeFunc",
                                         "glutMouseFunc",
                                         "glutKeyboardFunc",
                                         "glutMotionFunc",
                                         "glutPassiveMotionFunc",
                                         "glutMainLoop",
                                         "glutSwapBuffers",
                                         "glMatrixMode",
                                         "glLoadIdentity",
                                         "glOrtho",
                                         "glViewport",
                                         "glClear",
                                         "glFinish",
                                         "glPushMatrix",
                                         "glPopMatrix",
                                         "glRotatef",
                                         "glColor3f",
                                         "glBegin",
                                         "glVertex3f",
                                         "glEnd"};
    EXPECT_TRUE(std::includes(recorded.begin(), recorded.end(), imported.begin(), imported.end()));
    EXPECT_GE(imported.size(), 20u);
}

TEST_F(Viewer, MakesTheStartUpCallsThenDrawsEverySpringOfAFrame) {
    ViewerProcess viewer(server.display(), recorded());
    ASSERT_TRUE(viewer.waitForFrames(1)) << viewer.trace();
    ViewerWindow window(server.display(), title);
    closeAndExpectSuccess(viewer, window);

    std::vector<std::string> expected{formatCall("glutInit", WIBBLE_EXECUTABLE),
                                      std::string("glutInit left ") + WIBBLE_EXECUTABLE,
                                      "glutInitDisplayMode(2)",
                                      "glutCreateWindow(Assignment 4)",
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
                                      "reshape(300,300)",
                                      "glViewport(0,0,300,300)",
                                      "display()",
                                      formatCall("glClear", GL_COLOR_BUFFER_BIT)};
    TraceCapture quiet;
    const Wibble body(7, 3, 2, 0.5f, 0.1f, 0.01f, 1.0f);
    for (const Spring& spring : body.springs) {
        const Vector3 a = spring.nodeA.position, b = spring.nodeB.position;
        expected.insert(expected.end(),
                        {"glPushMatrix()", "glRotatef(15,1,1,0)", "glColor3f(1,1,1)",
                         formatCall("glBegin", GL_LINES), formatCall("glVertex3f", a.x, a.y, a.z),
                         formatCall("glVertex3f", b.x, b.y, b.z), "glEnd()", "glPopMatrix()"});
    }
    expected.insert(expected.end(), {"glutSwapBuffers()", "glFinish()"});
    EXPECT_EQ(loggedCalls(), expected);
    EXPECT_EQ(viewer.trace(), traceOfFrames(1));
}

TEST_F(Viewer, RealClicksKeysAndMotionReachTheCallbacksSilently) {
    ViewerProcess viewer(server.display(), recorded());
    ASSERT_TRUE(viewer.waitForFrames(1)) << viewer.trace();
    ViewerWindow window(server.display(), title);
    clickAndType(window);
    closeAndExpectSuccess(viewer, window);

    EXPECT_EQ(viewer.trace(), traceOfFrames(1));
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
    ASSERT_TRUE(viewer.waitForFrames(1)) << viewer.trace();
    ViewerWindow window(server.display(), title);
    closeAndExpectSuccess(viewer, window);
    EXPECT_EQ(viewer.trace(), traceOfFrames(1));
    const std::vector<std::string> calls = loggedCalls();
    ASSERT_GE(calls.size(), 2u);
    EXPECT_EQ(calls[1], std::string("glutInit left ") + WIBBLE_EXECUTABLE + " --unknown word");
    EXPECT_NE(std::find(calls.begin(), calls.end(), "reshape(200,100)"), calls.end());
}

TEST_F(Viewer, ClosingTheWindowEndsThroughExitAndDestroysTheWorld) {
    if (builtWithAddressSanitizer) {
        GTEST_SKIP() << "valgrind cannot run a program built with AddressSanitizer";
    }
    ViewerProcess viewer(server.display(),
                         underValgrind({"--leak-check=full", "--show-leak-kinds=all"}));
    ASSERT_TRUE(viewer.waitForFrames(1)) << viewer.trace();
    ViewerWindow window(server.display(), title);
    closeAndExpectSuccess(viewer, window);
    EXPECT_EQ(viewer.trace(), traceOfFrames(1));

    const std::string text = valgrindReport();
    ASSERT_NE(text.find("HEAP SUMMARY"), std::string::npos) << text;
    // Each loss record starts with "N bytes in M blocks are ..." and lists its allocation stack.
    std::size_t start = text.find(" blocks are ");
    while (start != std::string::npos) {
        const std::size_t end = text.find(" blocks are ", start + 1);
        const std::string record =
            text.substr(start, end == std::string::npos ? std::string::npos : end - start);
        for (const char* owner : {"World::", "Wibble::", "Spring::", "Node::"}) {
            EXPECT_EQ(record.find(owner), std::string::npos)
                << "memory of the world still in use:\n"
                << record;
        }
        start = end;
    }
}

} // namespace
