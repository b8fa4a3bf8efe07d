// Logarithms and powers with the IEEE special values of the legacy platform:
// every invalid operation gives the indefinite NaN (sign bit set, quiet, no
// payload), a NaN operand passes through, log of 0 is -infinity. The C
// library here returns a positive NaN for the log of a negative number,
// which would print as 1#QNAN instead of -1#IND.
#pragma once

namespace platform {

double indefinite();     // the indefinite NaN, bits 0xFFF8000000000000
double ln(double x);     // natural logarithm
double lg(double x);     // base-10 logarithm
double pow10(double y);  // 10 to the power y

}  // namespace platform
