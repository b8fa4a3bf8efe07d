// The dialogue's rows as end-to-end tests expect them, and the worked
// example's files, shared by the end-to-end tests.
#pragma once

#include <string>

namespace e2e {

// The worked example: a response of three points, an excitation of eight,
// and the five product lines they give.
inline const std::string response_text = "10 2\n20 4\n40 4\n";
inline const std::string excitation_text = "5 1\n10.0005 3\n15 2\n15 2\n19.9995 1\n40 0.5\n50 1\n60 0\n";
inline const std::string worked_product =
    "  1.00005e+001    6.0000e+000 \n"
    "  1.50000e+001    6.0000e+000 \n"
    "  1.50000e+001    6.0000e+000 \n"
    "  1.99995e+001    3.9999e+000 \n"
    "  4.00000e+001    2.0000e+000 \n";

inline const std::string press_any_key = "\n Press any key to exit.\n\n";
inline const std::string declined_resampling = "\n Apply logarithmic interpolation? \n 1=yes  2=no  \n";
inline const std::string breakpoint_question = "\n Output simplified breakpoints \n 1=yes  2=no \n";
inline const std::string breakpoint_name_prompt = "\n\n\n Enter the name of the breakpoint output file. \n";

inline std::string opened(const std::string& a, const std::string& b) {
  return " File: " + a + " opened. \n File: " + b + " opened. \n";
}

// From the output name prompt to the end of the statistics, with the numbers
// as they are written.
inline std::string statistics(const std::string& n1, const std::string& s1, const std::string& e1,
                              const std::string& n2, const std::string& s2, const std::string& e2) {
  return "\n\n\n Enter the name of the output file. \n"
         "\n\n Response Function Statistics \n"
         "\n number of points   = " + n1 + " \n starting frequency = " + s1 + "\n ending frequency   = " + e1 + " \n"
         "\n\n Excitation Function Statistics \n"
         "\n number of points   = " + n2 + " \n starting frequency = " + s2 + "\n ending frequency   = " + e2 +
         " \n\n";
}

inline std::string trace(const std::string& lasta, const std::string& lastb) {
  return "\n reference 2 \n\n  lasta=" + lasta + "  lastb=" + lastb + " \n";
}

inline std::string product_named(const std::string& output) {
  return "\n\n The output text file is: \n\n  " + output + "  \n";
}

}  // namespace e2e
