#pragma once

// Every OpenGL and GLUT function the program calls, listed once: the
// recording stand-ins of the unit tests, the recorder that the end-to-end
// tests preload into the program, and the check that the recorder sees every
// call the program imports are all made from these tables. glutInit, whose
// arguments are the command line, is recorded apart.
//
// WIBBLE_GRAPHICS_CALLS(CALL): CALL(result, api, name, (parameters), (arguments))
#define WIBBLE_GRAPHICS_CALLS(CALL)                                                                \
    CALL(void, FGAPIENTRY, glutInitDisplayMode, (unsigned int mode), (mode))                       \
    CALL(int, FGAPIENTRY, glutCreateWindow, (const char* title), (title))                          \
    CALL(void, FGAPIENTRY, glutMainLoop, (), ())                                                   \
    CALL(void, FGAPIENTRY, glutSwapBuffers, (), ())                                                \
    CALL(void, GLAPIENTRY, glMatrixMode, (GLenum mode), (mode))                                    \
    CALL(void, GLAPIENTRY, glLoadIdentity, (), ())                                                 \
    CALL(void, GLAPIENTRY, glOrtho,                                                                \
         (GLdouble left, GLdouble right, GLdouble bottom, GLdouble top, GLdouble zNear,            \
          GLdouble zFar),                                                                          \
         (left, right, bottom, top, zNear, zFar))                                                  \
    CALL(void, GLAPIENTRY, glViewport, (GLint x, GLint y, GLsizei width, GLsizei height),          \
         (x, y, width, height))                                                                    \
    CALL(void, GLAPIENTRY, glClear, (GLbitfield mask), (mask))                                     \
    CALL(void, GLAPIENTRY, glFinish, (), ())                                                       \
    CALL(void, GLAPIENTRY, glPushMatrix, (), ())                                                   \
    CALL(void, GLAPIENTRY, glPopMatrix, (), ())                                                    \
    CALL(void, GLAPIENTRY, glRotatef, (GLfloat angle, GLfloat x, GLfloat y, GLfloat z),            \
         (angle, x, y, z))                                                                         \
    CALL(void, GLAPIENTRY, glColor3f, (GLfloat red, GLfloat green, GLfloat blue),                  \
         (red, green, blue))                                                                       \
    CALL(void, GLAPIENTRY, glBegin, (GLenum mode), (mode))                                         \
    CALL(void, GLAPIENTRY, glVertex3f, (GLfloat x, GLfloat y, GLfloat z), (x, y, z))               \
    CALL(void, GLAPIENTRY, glEnd, (), ())

// The callbacks the program hands GLUT, in the order it registers them.
// WIBBLE_CALLBACKS(CALLBACK): CALLBACK(registration, callback, (parameters), (arguments))
#define WIBBLE_CALLBACKS(CALLBACK)                                                                 \
    CALLBACK(glutDisplayFunc, display, (), ())                                                     \
    CALLBACK(glutReshapeFunc, reshape, (int width, int height), (width, height))                   \
    CALLBACK(glutMouseFunc, mouse, (int button, int state, int x, int y), (button, state, x, y))   \
    CALLBACK(glutKeyboardFunc, keyboard, (unsigned char key, int x, int y), (key, x, y))           \
    CALLBACK(glutMotionFunc, motion, (int x, int y), (x, y))                                       \
    CALLBACK(glutPassiveMotionFunc, passiveMotion, (int x, int y), (x, y))
