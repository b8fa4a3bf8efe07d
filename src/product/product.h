// The product of the response and excitation functions at the excitation's
// own frequencies, and its simplified breakpoints.
#pragma once

#include <cstdint>

#include "platform/text_writer.h"
#include "tables/tables.h"

// Filled from entry 0 in the order the products are computed; nothing
// records how many entries were filled.
struct product_table {
  double freq[max_points];
  double amp[max_points];
};

// Forms each product, writes one "%14.5e %14.4e \n" line per product to out
// and stores it in prod. Prints nothing.
void mult_tables(const func_table& response, const func_table& excitation, platform::text_writer& out,
                 product_table& prod);

// Writes the first point, every interior point whose log-log slope changes by
// more than 0.1, and the closing point (entry lastb - 1), to out and to the
// console, with the "Amplitude error." messages.
void simplify_breakpoints(const product_table& prod, const double* exc_freq, std::int32_t lastb,
                          platform::text_writer& out);

// Files a breakpoint file must never replace: the inputs and the product file.
struct protected_files {
  const char* names[3];
};

// "Output simplified breakpoints": on the answer 1 reads the breakpoint file
// name into name_buf (name_cap bytes), creates the file in slot, writes the
// breakpoints and closes the file. False when the file could not be created
// or written (a message has then been printed).
bool breakpoint_step(const product_table& prod, const func_table& excitation, char* name_buf,
                     std::size_t name_cap, platform::text_writer& slot, const protected_files& keep);
