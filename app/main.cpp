#include "app/Input.h"
#include "app/Window.h"
#include "app/World.h"
#include "render/Display.h"

#include <GL/glut.h>

#include <iostream>

int main(int argc, char** argv) {
    std::cerr << "about to create the world...\n";
    {
        const World created;
        world = created;
    }
    std::cerr << "world has been created...\n";

    // Where GLUT's header offers them, glutInit and glutCreateWindow expand to
    // the forms that take the runtime's exit; freeglut on Linux ends the
    // process through exit itself. Either way the global world is destroyed
    // by the termination handlers.
    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_DOUBLE | GLUT_RGB);
    glutCreateWindow("Assignment 4");
    glutDisplayFunc(display);
    glutReshapeFunc(reshape);
    glutMouseFunc(mouse);
    glutKeyboardFunc(keyboard);
    glutMotionFunc(motion);
    glutPassiveMotionFunc(passiveMotion);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-3.0, 3.0, -3.0, 3.0, -3.0, 3.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glutMainLoop();
    return 0;
}
