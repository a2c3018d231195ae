// Codes for the values of ##DATATYPE= and ##DATACLASS=.
#pragma once

#include <cstdint>

namespace jcamp {

struct JcampBlock;

enum DataType : uint32_t {
  kDataTypeOther = 0,
  kDataTypeLink = 1,
  kDataTypeInfraredSpectrum = 2,
  kDataTypeInfraredPeakTable = 3,
  kDataTypeInfraredInterferogram = 4,
  kDataTypeInfraredTransformedSpectrum = 5,
  kDataTypeRamanSpectrum = 6,
  kDataTypeNmrFid = 7,
  kDataTypeNmrSpectrum = 8,
  kDataTypeNmrPeakTable = 9,
  kDataTypeNmrPeakAssignments = 10,
  kDataTypeMassSpectrum = 11,
  kDataTypeContinuousMassSpectrum = 12,
  kDataTypeIonMobilitySpectrum = 13,
  kDataTypeImsPeakTable = 14,
  kDataTypeImsPeakAssignments = 15,
  kDataTypeUvVis = 16,
};

enum TableForm : uint32_t {
  kTableFormOther = 0,
  kTableFormXyPoints = 10,
  kTableFormXyData = 11,
  kTableFormPeakTable = 12,
  kTableFormAssignments = 13,
  kTableFormRaData = 14,
  kTableFormNTuples = 15,
};

// Whether a block of the data type holds peaks (a peak table, a centroid mass
// spectrum) rather than a continuous spectrum, when its table is of pairs.
bool isPeakDataType(uint32_t dataType);

// Both upper-case text in place, then compare it exactly; null gives 0.
uint32_t classifyDataType(char* text);
void classifyDataClass(JcampBlock& block, char* text);

}  // namespace jcamp
