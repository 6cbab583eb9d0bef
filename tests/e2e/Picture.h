#pragma once

#include "tests/e2e/ViewerWindow.h"

#include <string>

// What keeps the image from showing, in white on black, the World's lattice
// edges and cell diagonals turned by `degrees` about (1, 1, 0) and mapped from
// the -3..3 box onto `width` x `height` pixels; empty when nothing does.
std::string pictureFaults(const ViewerWindow::Image& image, int width, int height,
                          double degrees = 15);

// The pixels of a PNG file's bytes, alpha left out.
ViewerWindow::Image imageOfPng(const std::string& png);
