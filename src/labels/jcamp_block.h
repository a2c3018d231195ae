// The values of one data block of a loaded file, filled label by label.
#pragma once

#include <cstdint>
#include <memory>

#include "labels/label_record.h"
#include "labels/markers.h"

namespace jcamp {

// Outcome of a data table's consistency checks; bits are only ever added.
enum CheckFlags : uint32_t {
  kCheckX = 1,       // a line's abscissa is off by more than half a step
  kCheckY = 2,       // a line's first ordinate differs from the previous line's check value
  kCheckFirstY = 4,  // the first ordinate differs from ##FIRSTY= by more than ##YFACTOR=
  kCheckCount = 8,   // the decoded point count differs from ##NPOINTS=
};

// Text labels are kept as references to their records (no copy); the block
// owns its four arrays. concentrationCount is set by the caller before every
// label is applied: the number of concentrations each sample is to hold.
struct JcampBlock {
  using Ref = const LabelRecord*;

  float jcampVersion = kUnsetValue;
  uint32_t dataType = 0;
  uint32_t tableForm = 0;
  Ref title = nullptr;
  Ref origin = nullptr;
  Ref owner = nullptr;
  float imsPressure = kUnsetValue;
  float electricField[2] = {kUnsetValue, kUnsetValue};
  float imsTemperature[2] = {kUnsetValue, kUnsetValue};
  float shutterOpeningTime = kUnsetValue;
  uint32_t blockId = 0;
  Ref carrierGas = nullptr;
  Ref driftGas = nullptr;
  Ref ionPolarity = nullptr;
  Ref ionizationMode = nullptr;
  double firstX = kUnsetDouble;
  double lastX = kUnsetDouble;
  double observeFrequency = kUnsetDouble;  // ##.OBSERVE FREQUENCY=, MHz
  double xFactor = kUnsetDouble;
  double yFactor = kUnsetDouble;
  float firstY = kUnsetValue;
  std::unique_ptr<float[]> yValues;     // nPoints ordinates, scaled by yFactor
  std::unique_ptr<float[]> xValues;     // nPoints abscissas of ##XYPOINTS=, scaled by xFactor
  std::unique_ptr<uint32_t[]> xIsReal;  // 1 where the abscissa was written as a real number
  // Entries the three table arrays really hold: ##NPOINTS= may change after the table.
  uint32_t tableLength = 0;
  uint32_t nPoints = 0;
  bool peakTable = false;  // the pairs came from ##PEAK TABLE=
  Ref xUnits = nullptr;
  Ref yUnits = nullptr;
  uint32_t concentrationCount = 0;
  std::unique_ptr<float[]> concentrations;  // concentrationCount values
  uint32_t concentrationLength = 0;         // entries concentrations really holds
  float seconds = kUnsetValue;
  float maxX = kUnsetValue;
  float minX = kUnsetValue;
  float maxY = kUnsetValue;
  float minY = kUnsetValue;
  int32_t zone = 0;
  uint32_t year = 0;
  uint32_t month = 0;
  uint32_t day = 0;
  uint32_t hour = 0;
  uint32_t minute = 0;
  Ref sourceReference = nullptr;
  Ref crossReference = nullptr;
  Ref sampleDescription = nullptr;
  Ref casName = nullptr;
  Ref iupacName = nullptr;
  Ref names = nullptr;
  Ref molForm = nullptr;
  Ref casRegistryNo = nullptr;
  Ref concentrationsRecord = nullptr;
  Ref spectrometerDataSystem = nullptr;
  Ref instrumentalParameters = nullptr;
  Ref dataProcessing = nullptr;
  Ref comment = nullptr;
  Ref xLabel = nullptr;
  Ref yLabel = nullptr;
  float ionizationEnergy = kUnsetValue;
  float ionizationChamber[3] = {kUnsetValue, kUnsetValue, kUnsetValue};
  float driftChamber[3] = {kUnsetValue, kUnsetValue, kUnsetValue};
  float carrierGasFlow[2] = {kUnsetValue, kUnsetValue};
  float driftGasFlow = kUnsetValue;
  float carrierGasMoisture = kUnsetValue;
  float shutterGridPotential = kUnsetValue;
  float repetitionRate = kUnsetValue;
  int32_t averages = 0;
  char ionizationChamberCode[5] = {};
  char driftChamberCode[5] = {};
  Ref reducedMobility = nullptr;
  Ref ionizationSource = nullptr;
  // NTUPLES (under ntuplesPages): the records of the variables' lists, the
  // page this block holds, and the column of its table's X variable in the
  // lists (-1: none). A page's ##DATA TABLE= fills the X and Y fields above.
  Ref variableSymbols = nullptr;
  Ref variableDims = nullptr;
  Ref variableFirst = nullptr;
  Ref variableLast = nullptr;
  Ref variableFactors = nullptr;
  Ref variableUnits = nullptr;
  Ref page = nullptr;
  int32_t xVariable = -1;
  // The last data table the block holds but this reading leaves out (peak
  // assignments, a peak table of widths, NTUPLES in the host-compatible
  // reading, a page table of another form); null when none.
  Ref unreadTable = nullptr;
  uint32_t checkFlags = 0;
  // SampleWarning bits the tables raised, and the line (from 1) where the
  // first of them or of the check flags arose; 0 when none did.
  uint32_t warnings = 0;
  uint32_t warningLine = 0;
};

}  // namespace jcamp
