// Converts standard input to standard output: `cp932_filter to-utf8` from Shift JIS, `to-sjis`
// from UTF-8. The encoding test drives the engine's converter through it.
#include <iostream>
#include <iterator>
#include <string>
#include <string_view>

#include "base/encoding.h"

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  const std::string input((std::istreambuf_iterator<char>(std::cin)), std::istreambuf_iterator<char>());
  const std::string_view direction = argv[1];
  std::cout << (direction == "to-utf8" ? velmio::ShiftJisToUtf8(input) : velmio::Utf8ToShiftJis(input));
  return 0;
}
