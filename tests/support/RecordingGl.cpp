#include "tests/support/RecordingGl.h"
#include "tests/support/CallFormat.h"

#include <GL/glut.h>

std::vector<std::string>& recordedCalls() {
    static std::vector<std::string> calls;
    return calls;
}

namespace {
template <typename... Args> void record(const char* name, const Args&... args) {
    recordedCalls().push_back(formatCall(name, args...));
}
} // namespace

void GLAPIENTRY glClear(GLbitfield mask) {
    record("glClear", mask);
}
void GLAPIENTRY glFinish() {
    record("glFinish");
}
void GLAPIENTRY glViewport(GLint x, GLint y, GLsizei width, GLsizei height) {
    record("glViewport", x, y, width, height);
}
void GLAPIENTRY glPushMatrix() {
    record("glPushMatrix");
}
void GLAPIENTRY glPopMatrix() {
    record("glPopMatrix");
}
void GLAPIENTRY glRotatef(GLfloat angle, GLfloat x, GLfloat y, GLfloat z) {
    record("glRotatef", angle, x, y, z);
}
void GLAPIENTRY glColor3f(GLfloat red, GLfloat green, GLfloat blue) {
    record("glColor3f", red, green, blue);
}
void GLAPIENTRY glBegin(GLenum mode) {
    record("glBegin", mode);
}
void GLAPIENTRY glVertex3f(GLfloat x, GLfloat y, GLfloat z) {
    record("glVertex3f", x, y, z);
}
void GLAPIENTRY glEnd() {
    record("glEnd");
}
void FGAPIENTRY glutSwapBuffers() {
    record("glutSwapBuffers");
}
