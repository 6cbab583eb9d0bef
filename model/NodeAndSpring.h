#pragma once

#include "model/Vector3.h"

#include <vector>

// A node holds the springs attached to it and a spring holds copies of its two
// end nodes, both by value, so the two types are declared together.

class Spring;

using SpringList = std::vector<Spring>;

// One mass point of the soft body.
class Node {
public:
    Node() = default;
    Node(Vector3 position, float mass);

    // Writes the position as "(x,y,z)" to the trace stream.
    void print() const;

    Vector3 position{0, 0, 0};
    Vector3 extraA;
    Vector3 extraB;
    Vector3 extraC;
    SpringList springs;
    float mass = 0;
    bool flag = false;
};

// One spring of the soft body, joining copies of two nodes.
class Spring {
public:
    Spring() = default;
    Spring(Node nodeA, Node nodeB, float spacing, float coefficientA, float coefficientB);

    // Writes "[(ax,ay,az)(bx,by,bz)]" to the trace stream.
    void print() const;
    // Draws the spring as one turned white line; defined with the rendering code.
    void draw() const;

    Node nodeA;
    Node nodeB;
    float spacing = 0;
    float coefficientA = 0;
    float coefficientB = 0;
    float extraA = 0;
    float extraB = 0;
};
