// The components of ##CONCENTRATIONS=: their count and names become the Y variables.
#include "scan/jcamp_reader.h"
#include "scan/whole_number.h"

namespace jcamp {
namespace {

constexpr int32_t kMaxNameLength = 39;
constexpr int32_t kLookAhead = 64;
constexpr char kWhileReadingNames[] = "while reading Y names";

std::string trimmed(const std::string& text) {
  size_t first = 0;
  size_t last = text.size();
  while (first < last && isWhiteSpace(text[first])) ++first;
  while (last > first && isWhiteSpace(text[last - 1])) --last;
  return text.substr(first, last - first);
}

}  // namespace

// Each tuple "(name, concentration, unit)" counts as one component; its name is
// what stands between "(" and the first "," or ">", without "<".
int32_t JcampReader::readConcentrationNames() {
  int32_t afterLabel = 0;
  if (findLabel("##CONCENTRATIONS=", kValueCapacity, dataStart_, ValueMode::kSkip,
                SearchScope::kBlock, firstDataBlock, &afterLabel) != 0) {
    if (status != kStatusLabelMissing) return 1;
    yCount = 0;
    clearStatus();
    return 0;
  }
  position_ = afterLabel;
  // Pass the variable list (NCU) of the label line.
  if (skipToChar(')', kStatusConcentrations) != 0) return 1;

  int32_t count = 0;
  bool inTuple = false;
  std::string name;
  char c1 = window_[position_];
  char c2 = window_[position_ + 1];
  position_ += 2;
  while (c1 != '#' || c2 != '#') {
    if (position_ > windowLength_ - kLookAhead && !windowReachesEnd() &&
        fillWindow(absolutePosition()) != 0) {
      message = formatMessage(statusText(kStatusUnexpectedEnd), {kWhileReadingNames});
      return 1;
    }
    if (absolutePosition() >= fileLength_ || position_ >= windowLength_) {
      return fail(kStatusUnexpectedEnd, {kWhileReadingNames});
    }
    if (c1 == '(') {
      name.clear();
      ++count;
      inTuple = true;
    } else if (c1 == ',' || c1 == '>') {
      if (inTuple) {
        yNames.push_back(trimmed(name));
        inTuple = false;
      }
    } else if (inTuple && c1 != '<' && name.size() < kMaxNameLength) {
      name.push_back(c1);
    }
    c1 = c2;
    c2 = window_[position_++];
  }
  yCount = count;
  return 0;
}

}  // namespace jcamp
