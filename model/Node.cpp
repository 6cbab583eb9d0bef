#include "model/NodeAndSpring.h"

Node::Node(Vector3 position, float mass) : mass(mass) {
    this->position = position;
}

void Node::print() const {
    position.print();
}
