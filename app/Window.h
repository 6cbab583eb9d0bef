#pragma once

// GLUT reshape callback: the fixed projection box is stretched over the whole window.
void reshape(int width, int height);
