#include "app/World.h"

World::World() {
    const Wibble built(7, 3, 2, 0.5f, 0.1f, 0.01f, 1.0f);
    body = built;
    setting = 0.1f;
}

void World::display() const {
    body.drawSprings();
}

World world;
