// "Output simplified breakpoints": the question, the breakpoint file's name,
// its creation, the breakpoints, and the file closed with its errors checked
// before the run waits for the final key.
#include <cstring>
#include <string_view>

#include "platform/answers.h"
#include "platform/console.h"
#include "platform/file_identity.h"
#include "product/product.h"

namespace {

// What each protected name is, in the order the driver passes them.
constexpr std::string_view protected_role[3] = {
    "it is the first input file",
    "it is the second input file",
    "it is the product file",
};

void report(std::string_view what, std::string_view name, std::string_view reason) {
  platform::text_line line;
  line.text("\n ").text(what).text(name).text(" (").text(reason).text(") \n");
  line.say();
}

std::string_view error_text(int err) {
  const char* s = std::strerror(err);
  return s != nullptr ? std::string_view(s) : std::string_view("unknown error");
}

}  // namespace

bool breakpoint_step(const product_table& prod, const func_table& excitation, char* name_buf,
                     std::size_t name_cap, platform::text_writer& slot, const protected_files& keep) {
  platform::say("\n Output simplified breakpoints \n 1=yes  2=no \n");
  int choice = 0;
  // An answer that is no integer is a no; its text stays pending.
  if (!platform::read_int(choice) || choice != 1) return true;

  platform::say("\n\n\n Enter the name of the breakpoint output file. \n");
  switch (platform::read_word(name_buf, name_cap)) {
    case platform::word_status::ok:
      break;
    case platform::word_status::none:
      // The buffer still holds the product file's name: never use it.
      platform::say("\n No breakpoint file was created (standard input ended before a file name). \n");
      return false;
    case platform::word_status::too_long: {
      platform::text_line line;
      line.text("\n Failed to create file: ");
      if (name_cap > 0) line.text(name_buf).text("...");
      line.text(" (the name is longer than ").integer(name_cap > 0 ? static_cast<long long>(name_cap - 1) : 0)
          .text(" characters) \n");
      line.say();
      return false;
    }
  }

  // Refused before anything is opened, so a protected file is never emptied.
  for (int k = 0; k < 3; ++k) {
    const char* kept = keep.names[k];
    if (kept == nullptr) continue;
    if (std::strcmp(name_buf, kept) == 0 || platform::same_file(name_buf, kept)) {
      report("Failed to create file: ", name_buf, protected_role[k]);
      return false;
    }
  }

  if (!slot.open(name_buf)) {
    report("Failed to create file: ", name_buf, error_text(slot.error()));
    return false;
  }
  platform::say("\n");
  simplify_breakpoints(prod, excitation.freq, excitation.last, slot);
  if (!slot.close()) {
    report("Failed to write file: ", name_buf, error_text(slot.error()));
    return false;
  }
  return true;
}
