// What the measurements read from a centre line or a picture.
#pragma once

#include "engine_under_test.h"

#include <vector>

namespace inkq {

// Distances of one line from another: root mean square and largest.
struct Spread {
    double sumSquares = 0.0;
    double count = 0.0;
    double largest = 0.0;

    void add(double d);
    void add(const Spread& other);
    double rms() const;
};

double distanceToLine(double x, double y, const std::vector<CentreVertex>& line);

// Both ways, sampled every half pixel along each line.
Spread lineDistance(const std::vector<CentreVertex>& a, const std::vector<CentreVertex>& b);

// The ink's width every pixel of length along the line.
std::vector<double> widthProfile(const std::vector<CentreVertex>& line);

double median(std::vector<double> values);
double steepestSlope(const std::vector<double>& profile);

// Width of the ink in a picture along a line through (x, y) in direction
// `angle`: the integral of its darkness (a disc's diameter through its
// centre).
double inkAcross(const Picture& picture, double x, double y, double angle);

// The ink's centre of mass in a picture.
void inkCentre(const Picture& picture, double& x, double& y);

} // namespace inkq
