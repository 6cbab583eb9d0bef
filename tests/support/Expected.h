#pragma once

#include "model/Wibble.h"
#include "tests/support/CallFormat.h"

#include <GL/gl.h>

#include <cstddef>
#include <string>
#include <vector>

// What the program writes and shows, as every test, fuzzer and benchmark
// expects it.
namespace expected {

inline constexpr const char* windowTitle = "Assignment 4";
// GLUT's default window, in pixels each way.
inline constexpr int windowSize = 300;
// The World's body: 7 x 3 x 2 cells.
inline constexpr std::size_t springCount = 388;

// The first line that every Wibble construction writes: all that one too
// large to make writes.
inline std::string constructionStart() {
    return "wibble: initialing members...\n";
}

// The five lines that every Wibble construction writes.
inline std::string constructionTrace() {
    return constructionStart() + "wibble: initialize nodes array with actual nodes...\n"
                                 "initializing springs...\n"
                                 "initializing faces...\n"
                                 "wibble has been created\n";
}

// What drawing a body of `springs` springs writes: no line end.
inline std::string springsTrace(std::size_t springs = springCount) {
    return std::to_string(springs) + " springs: ";
}

// What one frame writes.
inline std::string frameTrace() {
    return "outputter.display \nabout to display the world\n" + springsTrace();
}

// The trace from start to the end of the first frame, then `frames` - 1 more.
inline std::string traceOfFrames(int frames) {
    const std::string wibble = constructionTrace();
    std::string trace =
        wibble + "about to create the world...\n" + wibble + "world has been created...\n";
    for (int frame = 0; frame < frames; ++frame) {
        trace += frameTrace();
    }
    return trace;
}

// How many frames a trace shows: each ends with the spring count and " springs: ".
inline int framesIn(const std::string& trace) {
    int frames = 0;
    for (auto at = trace.find(" springs: "); at != std::string::npos;
         at = trace.find(" springs: ", at + 1)) {
        ++frames;
    }
    return frames;
}

// The graphics calls that drawing one frame of `body` makes: a clear, each
// spring turned, in white, and the turn undone, then the buffers presented.
inline std::vector<std::string> callsOfFrame(const Wibble& body) {
    std::vector<std::string> calls{formatCall("glClear", GL_COLOR_BUFFER_BIT)};
    for (const Spring& spring : body.springs) {
        const Vector3 a = spring.nodeA.position, b = spring.nodeB.position;
        calls.insert(calls.end(),
                     {"glPushMatrix()", "glRotatef(15,1,1,0)", "glColor3f(1,1,1)",
                      formatCall("glBegin", GL_LINES), formatCall("glVertex3f", a.x, a.y, a.z),
                      formatCall("glVertex3f", b.x, b.y, b.z), "glEnd()", "glPopMatrix()"});
    }
    calls.insert(calls.end(), {"glutSwapBuffers()", "glFinish()"});
    return calls;
}

} // namespace expected
