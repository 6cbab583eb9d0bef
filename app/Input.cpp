#include "app/Input.h"

#include <GL/glut.h>

int windowWidth = 300;
int windowHeight = 300;
int mouseX = 0;
int mouseY = 0;
bool leftButtonDown = false;
bool middleButtonDown = false;
bool rightButtonDown = false;
bool mouseButtonDown = false;

namespace {

void recordButton(int button, int state, int watched, bool& buttonDown) {
    if (button != watched) {
        return;
    }
    if (state == GLUT_DOWN) {
        buttonDown = true;
        mouseButtonDown = true;
    } else if (state == GLUT_UP) {
        buttonDown = false;
        mouseButtonDown = false;
    }
}

} // namespace

void mouse(int button, int state, int x, int y) {
    mouseX = x;
    mouseY = y;
    leftButtonDown = false;
    middleButtonDown = false;
    rightButtonDown = false;
    recordButton(button, state, GLUT_LEFT_BUTTON, leftButtonDown);
    recordButton(button, state, GLUT_MIDDLE_BUTTON, middleButtonDown);
    recordButton(button, state, GLUT_RIGHT_BUTTON, rightButtonDown);
}

void keyboard(unsigned char /*key*/, int /*x*/, int /*y*/) {}

void motion(int /*x*/, int /*y*/) {}

void passiveMotion(int /*x*/, int /*y*/) {}
