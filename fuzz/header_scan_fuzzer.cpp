// libFuzzer target: arbitrary bytes as a file through the header scan, under
// both reading modes, then the scanned entry's names are read back.
#include <cstddef>
#include <cstdint>

#include "document/row_model.h"
#include "fuzz_file.h"
#include "labels/reading_rules.h"
#include "scan/jcamp_reader.h"

namespace {

volatile size_t sink;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static FuzzFile file("scan");
  const char* path = file.write(data, size);
  for (int mode : {jcamp::kModeHostCompatible, jcamp::kModeStandard}) {
    jcamp::JcampFileInfo entry(path);
    jcamp::ReadingRules rules;
    jcamp::rulesForMode(mode, rules);
    jcamp::JcampReader reader(rules, jcamp::RowModel::of(rules).firstSample(), &entry);
    size_t seen = reader.message.size();
    if (reader.scanHeader() == jcamp::kStatusOk) {
      for (const std::string& name : entry.yNames) seen += name.size();
      seen += entry.title.size() + entry.origin.size() + entry.owner.size();
    }
    sink = seen;
  }
  return 0;
}
