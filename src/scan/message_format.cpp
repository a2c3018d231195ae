#include "scan/message_format.h"

#include <charconv>

namespace jcamp {

bool MessageArg::appendAs(char directive, std::string& out) const {
  switch (directive) {
    case 's':
      if (kind_ != Kind::kText) return false;
      out.append(text_);
      return true;
    case 'd': {
      if (kind_ != Kind::kNumber) return false;
      char digits[16];
      const auto result = std::to_chars(digits, digits + sizeof digits, number_);
      out.append(digits, result.ptr);
      return true;
    }
    case 'c':
      if (kind_ != Kind::kCharacter) return false;
      out.push_back(character_);
      return true;
    default:
      return false;
  }
}

std::string formatMessage(std::string_view pattern, std::initializer_list<MessageArg> args) {
  std::string out;
  out.reserve(pattern.size() + 32);
  const MessageArg* next = args.begin();
  for (size_t i = 0; i < pattern.size(); ++i) {
    const char c = pattern[i];
    if (c != '%' || i + 1 == pattern.size()) {
      out.push_back(c);
      continue;
    }
    const char directive = pattern[i + 1];
    if (directive == '%') {
      out.push_back('%');
      ++i;
    } else if (next != args.end() && next->appendAs(directive, out)) {
      ++next;
      ++i;
    } else {
      out.push_back(c);
    }
  }
  return out;
}

}  // namespace jcamp
