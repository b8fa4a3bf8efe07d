// The decimal scanner on arbitrary bytes, held against the grammar read
// plainly and std::from_chars: at every place where a number may start, it
// accepts exactly the token the grammar accepts, consumes exactly that
// token, gives the nearest double, and never looks outside the bytes.
// The answers reader (standard input's "%lf", "%d" and "%s") is held against
// the same reading through its own short look-ahead.
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/answers.h"
#include "platform/decimal_scan.h"
#include "reference.h"

namespace {

[[noreturn]] void fail(const char* what, std::size_t at) {
  std::fprintf(stderr, "%s at byte %zu\n", what, at);
  std::abort();
}

bool same_bits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

std::size_t skip_blank(const unsigned char* s, std::size_t n, std::size_t pos) {
  while (pos < n && ref::space(s[pos])) ++pos;
  return pos;
}

// A reader over exactly the given bytes: past the end is -1, and consuming
// past the end is a finding.
struct span_reader {
  const unsigned char* p;
  std::size_t n;
  std::size_t pos = 0;
  int peek(std::size_t ahead = 0) const { return ahead < n - pos ? p[pos + ahead] : -1; }
  void advance(std::size_t k = 1) {
    if (k > n - pos) fail("advance past the end", pos);
    pos += k;
  }
};

// The scanner at one place, against the reference; returns the length of
// the number read there (0: none).
std::size_t check_scan_at(const unsigned char* s, std::size_t n, std::size_t at) {
  span_reader r{s + at, n - at};
  const double sentinel = -1.2345e-67;
  double v = sentinel;
  bool got = platform::scan_decimal(r, v);
  std::size_t len = ref::token_length(s + at, n - at);
  if (got != (len > 0)) fail("accepted a different token", at);
  if (r.pos != len) fail("consumed a different length", at);
  if (!got) {
    if (!same_bits(v, sentinel)) fail("wrote a value without a number", at);
  } else if (!same_bits(v, ref::token_value(s + at, len))) {
    fail("value differs", at);
  }
  return len;
}

// Every one of the first bytes as a start, then the places a reader meets:
// after white space, after a number, and one past text that is none.
void check_scanner(const unsigned char* s, std::size_t n) {
  for (std::size_t at = 0; at <= n && at < 16; ++at) check_scan_at(s, n, at);
  std::size_t at = 0;
  while (at < n) {
    at = skip_blank(s, n, at);
    std::size_t len = check_scan_at(s, n, at);
    at += len > 0 ? len : 1;
  }
}

std::FILE* open_bytes(const unsigned char* s, std::size_t n) {
  std::FILE* f = fmemopen(const_cast<unsigned char*>(s), n, "r");
  if (f == nullptr) fail("fmemopen", 0);
  return f;
}

// The reference reading of one word ("%s"), of the bytes at pos.
struct word_ref {
  platform::word_status status;
  std::string kept;
  std::size_t end;  // the position after the word
};
word_ref ref_word(const unsigned char* s, std::size_t n, std::size_t pos, std::size_t cap) {
  while (pos < n && ref::space(s[pos])) ++pos;
  if (pos == n) return {platform::word_status::none, "", pos};
  std::size_t b = pos;
  while (pos < n && !ref::space(s[pos])) ++pos;
  std::string w(reinterpret_cast<const char*>(s + b), pos - b);
  if (w.size() > cap - 1) return {platform::word_status::too_long, w.substr(0, cap - 1), pos};
  return {platform::word_status::ok, w, pos};
}

// Checks a word read against the reference and moves pos past it.
void check_word(const unsigned char* s, std::size_t n, std::size_t& pos) {
  constexpr std::size_t cap = 12;
  char buf[cap];
  std::memset(buf, 'Z', cap);
  platform::word_status st = platform::read_word(buf, cap);
  word_ref w = ref_word(s, n, pos, cap);
  if (st != w.status) fail("word status differs", pos);
  if (st != platform::word_status::none &&
      (std::memcmp(buf, w.kept.data(), w.kept.size()) != 0 || buf[w.kept.size()] != '\0'))
    fail("word differs", pos);
  if (st == platform::word_status::none && buf[0] != 'Z') fail("wrote a word at the end", pos);
  pos = w.end;
}

// Numbers as "%lf" answers, a word wherever no number starts.
void check_double_answers(const unsigned char* s, std::size_t n) {
  std::FILE* f = open_bytes(s, n);
  platform::answers_from(f);
  std::size_t pos = 0;
  for (int items = 0; items < 4096; ++items) {
    pos = skip_blank(s, n, pos);
    std::size_t len = ref::token_length(s + pos, n - pos);
    const double sentinel = 7.5e300;
    double v = sentinel;
    bool got = platform::read_double(v);
    if (got != (len > 0)) fail("answer: accepted a different number", pos);
    if (got) {
      if (!same_bits(v, ref::token_value(s + pos, len))) fail("answer: value differs", pos);
      pos += len;
      continue;
    }
    if (!same_bits(v, sentinel)) fail("answer: wrote a value without a number", pos);
    if (pos == n) break;
    check_word(s, n, pos);
  }
  platform::answers_from(nullptr);
  std::fclose(f);
}

// Integers as "%d" answers, saturating at the int range.
void check_int_answers(const unsigned char* s, std::size_t n) {
  std::FILE* f = open_bytes(s, n);
  platform::answers_from(f);
  std::size_t pos = 0;
  for (int items = 0; items < 4096; ++items) {
    pos = skip_blank(s, n, pos);
    std::size_t i = pos;
    bool negative = false;
    if (i < n && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
    std::size_t digits_from = i;
    long long mag = 0;
    for (; i < n && ref::digit(s[i]); ++i) {
      mag = mag * 10 + (s[i] - '0');
      if (mag > 1LL << 40) mag = 1LL << 40;  // far past the int range
    }
    bool is_int = i > digits_from;
    int v = 12345;
    bool got = platform::read_int(v);
    if (got != is_int) fail("answer: accepted a different integer", pos);
    if (got) {
      long long want = negative ? -mag : mag;
      want = want > INT_MAX ? INT_MAX : want < INT_MIN ? INT_MIN : want;
      if (v != want) fail("answer: integer differs", pos);
      pos = i;
      continue;
    }
    if (v != 12345) fail("answer: wrote an integer without one", pos);
    if (pos == n) break;
    check_word(s, n, pos);
  }
  platform::answers_from(nullptr);
  std::fclose(f);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  check_scanner(data, size);
  check_double_answers(data, size);
  check_int_answers(data, size);
  return 0;
}
