#include "scan/jcamp_reader.h"

namespace jcamp {

JcampReader::JcampReader(const ReadingRules& readingRules, FirstSample first,
                         JcampFileInfo* fileEntry)
    : entry(fileEntry), rules(readingRules), firstSample(first) {}

JcampReader::~JcampReader() {
  closeFile();
}

int32_t JcampReader::fail(int32_t code, std::initializer_list<MessageArg> args) {
  status = code;
  message = formatMessage(statusText(code), args);
  return 1;
}

void JcampReader::clearStatus() {
  status = kStatusOk;
  message.clear();
}

}  // namespace jcamp
