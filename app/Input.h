#pragma once

// The window size last reported to reshape.
extern int windowWidth;
extern int windowHeight;
// Where the last mouse button event happened, in window pixels from the top left.
extern int mouseX;
extern int mouseY;
// At most one of the three: the button that the last mouse button event pressed.
extern bool leftButtonDown;
extern bool middleButtonDown;
extern bool rightButtonDown;
// Set by a press of any of the three buttons, cleared by a release of any of them.
extern bool mouseButtonDown;

// GLUT callbacks. Only mouse button events are recorded; keys and motion are ignored.
void mouse(int button, int state, int x, int y);
void keyboard(unsigned char key, int x, int y);
void motion(int x, int y);
void passiveMotion(int x, int y);
