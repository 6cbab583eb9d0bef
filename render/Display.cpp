#include "render/Display.h"

#include "app/World.h"

#include <GL/glut.h>

#include <iostream>

void display() {
    std::cerr << "outputter.display \n";
    glClear(GL_COLOR_BUFFER_BIT);
    std::cerr << "about to display the world\n";
    world.display();
    glutSwapBuffers();
    glFinish();
}
