#pragma once

#include "tests/e2e/ViewerWindow.h"

#include <string>
#include <vector>

// A line segment in window pixels, measured from the window's top left corner.
struct Segment {
    double x0, y0, x1, y1;
};

// The World's lattice edges and cell diagonals, turned by `degrees` about
// (1, 1, 0) and mapped from the -3..3 box onto a window of the given size.
std::vector<Segment> projectedSprings(int width, int height, double degrees = 15);

// What keeps the image from showing exactly the segments in white on black;
// empty when nothing does.
std::string pictureFaults(const ViewerWindow::Image& image, const std::vector<Segment>& segments);

// The pixels of a PNG file's bytes, alpha left out.
ViewerWindow::Image imageOfPng(const std::string& png);
