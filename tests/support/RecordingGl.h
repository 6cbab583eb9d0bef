#pragma once

#include <string>
#include <vector>

// The OpenGL and GLUT calls made so far through the recording stand-ins that
// the unit tests link instead of the real libraries.
std::vector<std::string>& recordedCalls();
