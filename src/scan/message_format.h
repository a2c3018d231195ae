// Fills the %s, %d and %c of a message text, independent of the process locale.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

namespace jcamp {

// One argument of a message: a text for %s, a number for %d or a character for %c.
class MessageArg {
 public:
  MessageArg(const char* text) : kind_(Kind::kText), text_(text != nullptr ? text : "") {}
  MessageArg(std::string_view text) : kind_(Kind::kText), text_(text) {}
  MessageArg(const std::string& text) : kind_(Kind::kText), text_(text) {}
  MessageArg(int32_t number) : kind_(Kind::kNumber), number_(number) {}
  MessageArg(char character) : kind_(Kind::kCharacter), character_(character) {}

  // Appends the argument as the directive `directive` (s, d or c) writes it;
  // false when the argument is of another kind.
  bool appendAs(char directive, std::string& out) const;

 private:
  enum class Kind { kText, kNumber, kCharacter };
  Kind kind_;
  std::string_view text_;
  int32_t number_ = 0;
  char character_ = '\0';
};

// Replaces each %s, %d and %c of pattern by the next argument, in order, and
// "%%" by "%". A directive without a matching argument stays as written, so a
// text copied without arguments comes out unchanged.
std::string formatMessage(std::string_view pattern, std::initializer_list<MessageArg> args);

}  // namespace jcamp
