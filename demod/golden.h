// Golden-section maximiser shared by doree_famt, doree_correl and doree_peigne.
#pragma once

namespace demod_detail {

// The two constants as given, in float; they do not add up to exactly 1 and
// neither is derived from the other.
constexpr float kGoldenShort = 0.38196602f;
constexpr float kGoldenLong = 0.618034f;

// Maximises f over the bracket a <= b <= c until it is no wider than
// `tolerance`. One evaluation per iteration; ties move the bracket toward
// lower arguments, and a tie at the end returns x2.
template <typename F>
float golden_maximum(float a, float b, float c, float tolerance, F&& f) {
  float x0 = a;
  float x3 = c;
  float x1;
  float x2;
  if (c - b > b - a) {
    x1 = b;
    x2 = b + kGoldenShort * (c - b);
  } else {
    x1 = b - kGoldenShort * (b - a);
    x2 = b;
  }
  float f1 = f(x1);
  float f2 = f(x2);
  while (x3 - x0 > tolerance) {
    if (f2 > f1) {
      x0 = x1;
      x1 = x2;
      x2 = kGoldenLong * x1 + kGoldenShort * x3;
      f1 = f2;
      f2 = f(x2);
    } else {
      x3 = x2;
      x2 = x1;
      x1 = kGoldenLong * x2 + kGoldenShort * x0;
      f2 = f1;
      f1 = f(x1);
    }
  }
  return f1 > f2 ? x1 : x2;
}

}  // namespace demod_detail
