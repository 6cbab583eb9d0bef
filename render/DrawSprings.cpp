#include "model/NodeAndSpring.h"
#include "model/Wibble.h"

#include <GL/gl.h>

#include <iostream>

void Wibble::drawSprings() const {
    std::cerr << springs.size() << " springs: ";
    for (const Spring& spring : springs) {
        spring.draw();
    }
}

void Spring::draw() const {
    // Each spring turns the picture on its own and undoes the turn, so the
    // rotation never accumulates.
    glPushMatrix();
    glRotatef(15.0f, 1.0f, 1.0f, 0.0f);
    glColor3f(1.0f, 1.0f, 1.0f);
    glBegin(GL_LINES);
    glVertex3f(nodeA.position.x, nodeA.position.y, nodeA.position.z);
    glVertex3f(nodeB.position.x, nodeB.position.y, nodeB.position.z);
    glEnd();
    glPopMatrix();
}
