#include "app/World.h"

World::World() {
    const Wibble built(7, 3, 2, 0.5f, 0.1f, 0.01f, 1.0f);
    body = built;
    setting = 0.1f;
}

void World::display() const {
    body.drawSprings();
}

// Built before main by design: running out of memory this early ends the program.
World world; // NOLINT(cert-err58-cpp)
