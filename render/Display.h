#pragma once

// GLUT display callback: clears the window, draws the world and presents the frame.
void display();
