#pragma once

#include "model/Vector3.h"
#include "model/Wibble.h"

#include <vector>

// The scene: the one soft body the program shows.
class World {
public:
    // Builds the body of 7 x 3 x 2 cells, 0.5 apart, centred on the origin.
    World();

    // Draws the body's springs.
    void display() const;

    Wibble body;
    float setting = 0;
    std::vector<Vector3> vectors;
};

// The scene that every frame draws; built before main and destroyed at exit.
extern World world;
