// Sine of a fraction of a turn, from a polynomial rather than the C library, so every build
// machine computes the same positions, colours and samples bit for bit.
#pragma once

namespace movie {

double Wave(double turns);  // sin(2 pi turns)

}  // namespace movie
