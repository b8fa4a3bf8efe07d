// vantor: multiplies a response function by an excitation function at the
// excitation's frequencies, optionally after resampling both on a uniform
// grid, and optionally reduces the product to its simplified breakpoints.
// The whole run is one dialogue on the console; this file is its order.
#include <cstdio>
#include <cstring>

#include "platform/answers.h"
#include "platform/console.h"
#include "platform/file_identity.h"
#include "platform/key_wait.h"
#include "platform/text_writer.h"
#include "product/product.h"
#include "tables/tables.h"

namespace {

// The run state: all of it static, alive for the whole run.
constexpr std::size_t name_size = 260;
char first_name[name_size];
char second_name[name_size];
char output_name[name_size];   // the product file's name, later the breakpoint file's
char product_name[name_size];  // kept so that the breakpoint file cannot replace the product file
std::FILE* first_file;
std::FILE* second_file;
platform::text_writer output_slot;
func_table response;
func_table excitation;
product_table product;

using platform::say;
using platform::text_line;

constexpr const char* press_any_key = "\n Press any key to exit.\n\n";

// The stop after a failed open or create: the final prompt, the key, status 1.
int stopped() {
  say(press_any_key);
  platform::wait_for_key();
  return 1;
}

// A name too long for its buffer is read whole but never used: it opens
// nothing and replaces nothing.
std::FILE* open_input(const char* name, platform::word_status got) {
  if (got == platform::word_status::too_long || platform::is_directory(name)) return nullptr;
  return std::fopen(name, "rb");
}

bool check_input(std::FILE* f, const char* name, platform::word_status got) {
  if (f != nullptr) {
    text_line().text(" File: ").text(name).text(" opened. \n").say();
    return true;
  }
  const char* cut = got == platform::word_status::too_long ? "..." : "";
  text_line().text("\n Failed to open file: ").text(name).text(cut).text(" \n").say();
  return false;
}

// The product file is created right after its name is read; one that cannot
// be created, or that would empty an input file, ends the run.
bool create_product_file(platform::word_status got) {
  const char* reason = nullptr;
  if (got == platform::word_status::too_long) {
    reason = "the name is longer than 259 characters";
  } else if (platform::same_file(output_name, first_name) || platform::same_file(output_name, second_name)) {
    reason = "it is one of the input files";
  } else if (!output_slot.open(output_name)) {
    reason = std::strerror(output_slot.error());
  }
  if (reason == nullptr) return true;
  text_line().text("\n Failed to create file: ").text(output_name).text(" (").text(reason).text(") \n").say();
  return false;
}

void print_statistics(const char* title, const func_table& t, const char* closing) {
  const std::int32_t end = t.last >= 0 ? t.last : 0;  // an empty table shows its untouched entry 0
  text_line()
      .text(title)
      .text("\n number of points   = ").integer(static_cast<long long>(t.last) + 1)
      .text(" \n starting frequency = ").general(t.freq[0], 12, 5)
      .text("\n ending frequency   = ").general(t.freq[end], 12, 5)
      .text(closing)
      .say();
}

}  // namespace

int main() {
  say("\n\n vantor  ver 1.6 \n January 22, 2008\n");
  say(" by the vantor developers\n");
  say("\n\n This program multiplies a function by another function. \n");
  say("\n Each program must have two columns: frequency (Hz) & amplitude. \n");

  say("\n\n Enter the name of the first file. \n");
  const platform::word_status first_got = platform::read_word(first_name, name_size);
  first_file = open_input(first_name, first_got);
  say("\n Enter the name of the second file. \n");
  const platform::word_status second_got = platform::read_word(second_name, name_size);
  second_file = open_input(second_name, second_got);
  say("\n\n");
  if (!check_input(first_file, first_name, first_got)) return stopped();
  if (!check_input(second_file, second_name, second_got)) return stopped();

  say("\n\n\n Enter the name of the output file. \n");
  if (!create_product_file(platform::read_word(output_name, name_size))) return stopped();
  std::memcpy(product_name, output_name, name_size);

  read_table(first_file, response);
  read_table(second_file, excitation);
  print_statistics("\n\n Response Function Statistics \n", response, " \n");
  print_statistics("\n\n Excitation Function Statistics \n", excitation, " \n\n");

  resampling_dialogue(response, excitation);

  say("\n reference 2 \n");
  text_line().text("\n  lasta=").integer(response.last).text("  lastb=").integer(excitation.last).text(" \n").say();
  mult_tables(response, excitation, output_slot, product);
  bool failed = false;
  if (output_slot.close()) {
    text_line().text("\n\n The output text file is: \n\n  ").text(output_name).text("  \n").say();
  } else {
    text_line().text("\n\n Failed to write the output file: ").text(output_name).text(" (")
        .text(std::strerror(output_slot.error())).text(") \n").say();
    failed = true;
  }

  const protected_files keep{{first_name, second_name, product_name}};
  if (!breakpoint_step(product, excitation, output_name, name_size, output_slot, keep)) failed = true;

  say(press_any_key);
  platform::wait_for_key();
  return failed ? 1 : 0;
}
