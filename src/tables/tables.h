// Function tables: one function of frequency as a list of points, the reader
// that fills a table from a two-column text file, and the logarithmic
// resampling onto a uniform grid with the dialogue that asks for it.
#pragma once

#include <cstdint>
#include <cstdio>

inline constexpr std::int32_t max_points = 200000;

// Entries 0 to last are the points in the order read; a negative last is an
// empty table. The two run tables are static and start all zero.
struct func_table {
  double freq[max_points];
  double amp[max_points];
  std::int32_t last;
};

// Reads pairs (frequency, amplitude) from the start of an open file until no
// frequency can be read or max_points points are in. A frequency without an
// amplitude still makes a point (amplitude left as it was).
void read_table(std::FILE* f, func_table& t);

// The resampling step in Hz, entered at the step prompt and read by intlog.
extern double bandwidth;

// Resamples one table in place onto the grid fa, fa + bandwidth, ... by
// log-log interpolation, and writes the new last index back.
void intlog(double* f, double* a, std::int32_t& last);

// "Apply logarithmic interpolation?": on the answer 1 reads the step and
// resamples the response table, then the excitation table.
void resampling_dialogue(func_table& response, func_table& excitation);
