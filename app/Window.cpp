#include "app/Window.h"

#include "app/Input.h"

#include <GL/gl.h>

void reshape(int width, int height) {
    glViewport(0, 0, width, height);
    windowWidth = width;
    windowHeight = height;
}
