#pragma once
// The text of a one-line edit box and its caret, in UTF-8. The caret always sits on a character
// boundary: moving, erasing and inserting step over whole characters, so a multibyte character
// is never split.
#include <cstddef>
#include <string>
#include <string_view>

namespace velmio {

class EditLine {
 public:
  const std::string& Text() const { return text_; }
  // Byte offset of the caret in Text().
  size_t Caret() const { return caret_; }

  // Inserts at the caret and moves the caret after what was inserted. Line breaks and other
  // control characters (a pasted paragraph) become nothing, and bytes that are not UTF-8 are
  // dropped, so the line stays one line of whole characters.
  void Insert(std::string_view typed);
  void Backspace();
  void Delete();
  void Left();
  void Right();
  void Home() { caret_ = 0; }
  void End() { caret_ = text_.size(); }

 private:
  size_t Previous(size_t at) const;
  size_t Next(size_t at) const;

  std::string text_;
  size_t caret_ = 0;
};

}  // namespace velmio
