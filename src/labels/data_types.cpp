#include "labels/data_types.h"

#include <cstring>

#include "labels/ascii_case.h"
#include "labels/jcamp_block.h"

namespace jcamp {
namespace {

struct NamedCode {
  const char* text;
  uint32_t code;
};

// In the order they are tested.
constexpr NamedCode kDataTypes[] = {
    {"LINK", kDataTypeLink},
    {"INFRARED SPECTRUM", kDataTypeInfraredSpectrum},
    {"INFRARED PEAK TABLE", kDataTypeInfraredPeakTable},
    {"INFRARED INTERFEROGRAM", kDataTypeInfraredInterferogram},
    {"INFRARED TRANSFORMED SPECTRUM", kDataTypeInfraredTransformedSpectrum},
    {"RAMAN SPECTRUM", kDataTypeRamanSpectrum},
    {"NMR FID", kDataTypeNmrFid},
    {"NMR SPECTRUM", kDataTypeNmrSpectrum},
    {"NMR PEAK TABLE", kDataTypeNmrPeakTable},
    {"NMR PEAK ASSIGNMENTS", kDataTypeNmrPeakAssignments},
    {"MASS SPECTRUM", kDataTypeMassSpectrum},
    {"CONTINUOUS MASS SPECTRUM", kDataTypeContinuousMassSpectrum},
    {"ION MOBILITY SPECTRUM", kDataTypeIonMobilitySpectrum},
    {"IMS PEAK TABLE", kDataTypeImsPeakTable},
    {"IMS PEAK ASSIGNMENTS", kDataTypeImsPeakAssignments},
    {"UVVIS", kDataTypeUvVis},
};

constexpr NamedCode kTableForms[] = {
    {"XYDATA", kTableFormXyData},        {"XYPOINTS", kTableFormXyPoints},
    {"PEAK TABLE", kTableFormPeakTable}, {"ASSIGNMENTS", kTableFormAssignments},
    {"RADATA", kTableFormRaData},        {"NTUPLES", kTableFormNTuples},
};

template <size_t N>
uint32_t classify(char* text, const NamedCode (&codes)[N]) {
  if (text == nullptr) return 0;
  for (char* p = text; *p != '\0'; ++p) {
    *p = upperAscii(*p);
  }
  for (const NamedCode& entry : codes) {
    if (std::strcmp(text, entry.text) == 0) return entry.code;
  }
  return 0;
}

}  // namespace

bool isPeakDataType(uint32_t dataType) {
  return dataType == kDataTypeInfraredPeakTable || dataType == kDataTypeNmrPeakTable ||
         dataType == kDataTypeMassSpectrum || dataType == kDataTypeImsPeakTable;
}

uint32_t classifyDataType(char* text) {
  return classify(text, kDataTypes);
}

void classifyDataClass(JcampBlock& block, char* text) {
  block.tableForm = classify(text, kTableForms);
}

}  // namespace jcamp
