// Preloaded into the viewer: writes every OpenGL and GLUT call the program
// makes, and every callback GLUT makes into it, to the file named by
// WIBBLE_CALL_LOG, one line each, then hands the call on.
#include "tests/support/CallFormat.h"

#include <GL/glut.h>

#include <cstdio>
#include <cstdlib>
#include <dlfcn.h>
#include <malloc.h>
#include <string>

namespace {

void logLine(const std::string& line) {
    static FILE* log = [] {
        const char* path = std::getenv("WIBBLE_CALL_LOG");
        return path ? std::fopen(path, "w") : nullptr;
    }();
    if (log) {
        std::fputs((line + '\n').c_str(), log);
        std::fflush(log);
    }
}

template <typename... Args> void record(const char* name, const Args&... args) {
    logLine(formatCall(name, args...));
}

template <typename Function> Function next(const char* name) {
    return reinterpret_cast<Function>(dlsym(RTLD_NEXT, name));
}

// The function of that name in the library that the program would have reached.
#define REAL(function)                                                                             \
    [] {                                                                                           \
        static const auto real = next<decltype(&(function))>(#function);                           \
        return real;                                                                               \
    }()

void (*display)();
void (*reshape)(int, int);
void (*mouse)(int, int, int, int);
void (*keyboard)(unsigned char, int, int);
void (*motion)(int, int);
void (*passiveMotion)(int, int);

// After each frame, the heap memory the process has in use.
void displayCalled() {
    record("display");
    display();
    logLine("heap " + std::to_string(mallinfo2().uordblks));
}
void reshapeCalled(int width, int height) {
    record("reshape", width, height);
    reshape(width, height);
}
void mouseCalled(int button, int state, int x, int y) {
    record("mouse", button, state, x, y);
    mouse(button, state, x, y);
}
void keyboardCalled(unsigned char key, int x, int y) {
    record("keyboard", static_cast<int>(key), x, y);
    keyboard(key, x, y);
}
void motionCalled(int x, int y) {
    record("motion", x, y);
    motion(x, y);
}
void passiveMotionCalled(int x, int y) {
    record("passiveMotion", x, y);
    passiveMotion(x, y);
}

// Puts a recording callback between GLUT and the program's own.
template <typename Callback>
void interpose(const char* registration, Callback& kept, Callback given, Callback recording,
               void (*real)(Callback)) {
    record(registration, given ? "callback" : "none");
    kept = given;
    real(given ? recording : nullptr);
}

std::string words(int count, char** vector) {
    std::string joined;
    for (int i = 0; i < count; ++i) {
        joined += std::string(i ? " " : "") + vector[i];
    }
    return joined;
}

} // namespace

void FGAPIENTRY glutInit(int* argc, char** argv) {
    logLine("glutInit(" + words(*argc, argv) + ")");
    REAL(glutInit)(argc, argv);
    logLine("glutInit left " + words(*argc, argv));
}
void FGAPIENTRY glutInitDisplayMode(unsigned int mode) {
    record("glutInitDisplayMode", mode);
    return REAL(glutInitDisplayMode)(mode);
}
int FGAPIENTRY glutCreateWindow(const char* title) {
    record("glutCreateWindow", title);
    return REAL(glutCreateWindow)(title);
}

void FGAPIENTRY glutDisplayFunc(void (*callback)()) {
    interpose("glutDisplayFunc", display, callback, displayCalled, REAL(glutDisplayFunc));
}
void FGAPIENTRY glutReshapeFunc(void (*callback)(int, int)) {
    interpose("glutReshapeFunc", reshape, callback, reshapeCalled, REAL(glutReshapeFunc));
}
void FGAPIENTRY glutMouseFunc(void (*callback)(int, int, int, int)) {
    interpose("glutMouseFunc", mouse, callback, mouseCalled, REAL(glutMouseFunc));
}
void FGAPIENTRY glutKeyboardFunc(void (*callback)(unsigned char, int, int)) {
    interpose("glutKeyboardFunc", keyboard, callback, keyboardCalled, REAL(glutKeyboardFunc));
}
void FGAPIENTRY glutMotionFunc(void (*callback)(int, int)) {
    interpose("glutMotionFunc", motion, callback, motionCalled, REAL(glutMotionFunc));
}
void FGAPIENTRY glutPassiveMotionFunc(void (*callback)(int, int)) {
    interpose("glutPassiveMotionFunc", passiveMotion, callback, passiveMotionCalled,
              REAL(glutPassiveMotionFunc));
}
void FGAPIENTRY glutMainLoop() {
    record("glutMainLoop");
    return REAL(glutMainLoop)();
}
void FGAPIENTRY glutSwapBuffers() {
    record("glutSwapBuffers");
    return REAL(glutSwapBuffers)();
}

void GLAPIENTRY glMatrixMode(GLenum mode) {
    record("glMatrixMode", mode);
    return REAL(glMatrixMode)(mode);
}
void GLAPIENTRY glLoadIdentity() {
    record("glLoadIdentity");
    return REAL(glLoadIdentity)();
}
void GLAPIENTRY glOrtho(GLdouble left, GLdouble right, GLdouble bottom, GLdouble top, GLdouble near,
                        GLdouble far) {
    record("glOrtho", left, right, bottom, top, near, far);
    return REAL(glOrtho)(left, right, bottom, top, near, far);
}
void GLAPIENTRY glViewport(GLint x, GLint y, GLsizei width, GLsizei height) {
    record("glViewport", x, y, width, height);
    return REAL(glViewport)(x, y, width, height);
}
void GLAPIENTRY glClear(GLbitfield mask) {
    record("glClear", mask);
    return REAL(glClear)(mask);
}
void GLAPIENTRY glFinish() {
    record("glFinish");
    return REAL(glFinish)();
}
void GLAPIENTRY glPushMatrix() {
    record("glPushMatrix");
    return REAL(glPushMatrix)();
}
void GLAPIENTRY glPopMatrix() {
    record("glPopMatrix");
    return REAL(glPopMatrix)();
}
void GLAPIENTRY glRotatef(GLfloat angle, GLfloat x, GLfloat y, GLfloat z) {
    record("glRotatef", angle, x, y, z);
    return REAL(glRotatef)(angle, x, y, z);
}
void GLAPIENTRY glColor3f(GLfloat red, GLfloat green, GLfloat blue) {
    record("glColor3f", red, green, blue);
    return REAL(glColor3f)(red, green, blue);
}
void GLAPIENTRY glBegin(GLenum mode) {
    record("glBegin", mode);
    return REAL(glBegin)(mode);
}
void GLAPIENTRY glVertex3f(GLfloat x, GLfloat y, GLfloat z) {
    record("glVertex3f", x, y, z);
    return REAL(glVertex3f)(x, y, z);
}
void GLAPIENTRY glEnd() {
    record("glEnd");
    return REAL(glEnd)();
}
