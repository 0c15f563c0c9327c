#include "content/wave.h"

namespace movie {

double Wave(double turns) {
  constexpr double kPi = 3.14159265358979323846;
  // Reduce to [-0.5, 0.5), then fold into [-0.25, 0.25] where the series converges fast.
  double t = turns - static_cast<double>(static_cast<long long>(turns));
  if (t >= 0.5) t -= 1;
  if (t < -0.5) t += 1;
  if (t > 0.25) t = 0.5 - t;
  if (t < -0.25) t = -0.5 - t;
  const double x = 2 * kPi * t, x2 = x * x;
  double term = x, sum = x;
  for (int n = 1; n <= 8; ++n) {
    term *= -x2 / ((2 * n) * (2 * n + 1));
    sum += term;
  }
  return sum;
}

}  // namespace movie
