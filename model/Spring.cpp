#include "model/NodeAndSpring.h"

#include <iostream>
#include <utility>

Spring::Spring(Node nodeA, Node nodeB, float spacing, float coefficientA, float coefficientB)
    : nodeA(std::move(nodeA)), nodeB(std::move(nodeB)), spacing(spacing),
      coefficientA(coefficientA), coefficientB(coefficientB) {}

void Spring::print() const {
    std::cerr << "[";
    nodeA.print();
    nodeB.print();
    std::cerr << "]";
}
