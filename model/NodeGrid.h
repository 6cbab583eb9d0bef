#pragma once

#include "model/NodeAndSpring.h"

#include <vector>

// The lattice of a soft body, indexed [x][y][z].
using NodeRow = std::vector<Node>;
using NodePlane = std::vector<NodeRow>;
using NodeGrid = std::vector<NodePlane>;
