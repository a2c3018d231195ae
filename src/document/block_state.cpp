#include "document/block_state.h"

#include <cstring>
#include <initializer_list>
#include <memory>

namespace jcamp {
namespace {

// Every field of JcampBlock but its four arrays. A field added to the block
// must be added here, or blocks that differ in it would be taken as the same:
// the size check below is the reminder.
// clang-format off
#define JCAMP_BLOCK_FIELDS(X)                                                                     \
  X(jcampVersion) X(dataType) X(tableForm) X(title) X(origin) X(owner) X(imsPressure)            \
  X(electricField) X(imsTemperature) X(shutterOpeningTime) X(blockId) X(carrierGas) X(driftGas)  \
  X(ionPolarity) X(ionizationMode) X(firstX) X(lastX) X(observeFrequency) X(xFactor) X(yFactor)  \
  X(firstY) X(tableLength) X(nPoints) X(peakTable) X(xUnits) X(yUnits) X(concentrationCount)     \
  X(concentrationLength) X(seconds) X(maxX) X(minX) X(maxY) X(minY) X(zone) X(year) X(month)     \
  X(day) X(hour) X(minute) X(sourceReference) X(crossReference) X(sampleDescription) X(casName)  \
  X(iupacName) X(names) X(molForm) X(casRegistryNo) X(concentrationsRecord)                      \
  X(spectrometerDataSystem) X(instrumentalParameters) X(dataProcessing) X(comment) X(xLabel)     \
  X(yLabel) X(ionizationEnergy) X(ionizationChamber) X(driftChamber) X(carrierGasFlow)           \
  X(driftGasFlow) X(carrierGasMoisture) X(shutterGridPotential) X(repetitionRate) X(averages)    \
  X(ionizationChamberCode) X(driftChamberCode) X(reducedMobility) X(ionizationSource)            \
  X(variableSymbols) X(variableDims) X(variableFirst) X(variableLast) X(variableFactors)          \
  X(variableUnits) X(page) X(xVariable) X(unreadTable) X(checkFlags) X(warnings) X(warningLine)
// clang-format on

static_assert(sizeof(void*) != 8 || sizeof(JcampBlock) == 568,
              "JcampBlock changed: list its new fields in JCAMP_BLOCK_FIELDS and the arrays below");

constexpr uint64_t kFnvOffset = 1469598103934665603u;
constexpr uint64_t kFnvPrime = 1099511628211u;

void hashBytes(uint64_t& hash, const void* data, size_t size) {
  const auto* bytes = static_cast<const unsigned char*>(data);
  for (size_t i = 0; i < size; ++i) hash = (hash ^ bytes[i]) * kFnvPrime;
}

template <typename T>
bool sameEntries(const std::unique_ptr<T[]>& a, const std::unique_ptr<T[]>& b, uint32_t length) {
  if ((a == nullptr) != (b == nullptr)) return false;
  return a == nullptr || length == 0 || std::memcmp(a.get(), b.get(), length * sizeof(T)) == 0;
}

// The first, middle and last entries: enough to tell most different tables apart.
template <typename T>
void hashSample(uint64_t& hash, const std::unique_ptr<T[]>& values, uint32_t length) {
  const bool present = values != nullptr;
  hashBytes(hash, &present, sizeof present);
  if (!present || length == 0) return;
  for (uint32_t i : {0u, length / 2, length - 1}) hashBytes(hash, &values[i], sizeof(T));
}

template <typename T>
std::unique_ptr<T[]> copyEntries(const std::unique_ptr<T[]>& values, uint32_t length) {
  if (values == nullptr) return nullptr;
  auto copy = std::unique_ptr<T[]>(new T[length]);
  if (length > 0) std::memcpy(copy.get(), values.get(), length * sizeof(T));
  return copy;
}

}  // namespace

bool sameBlockState(const JcampBlock& a, const JcampBlock& b) {
#define JCAMP_SAME_FIELD(field) \
  if (std::memcmp(&a.field, &b.field, sizeof a.field) != 0) return false;
  JCAMP_BLOCK_FIELDS(JCAMP_SAME_FIELD)
#undef JCAMP_SAME_FIELD
  return sameEntries(a.yValues, b.yValues, a.tableLength) &&
         sameEntries(a.xValues, b.xValues, a.tableLength) &&
         sameEntries(a.xIsReal, b.xIsReal, a.tableLength) &&
         sameEntries(a.concentrations, b.concentrations, a.concentrationLength);
}

uint64_t blockFingerprint(const JcampBlock& block) {
  uint64_t hash = kFnvOffset;
#define JCAMP_HASH_FIELD(field) hashBytes(hash, &block.field, sizeof block.field);
  JCAMP_BLOCK_FIELDS(JCAMP_HASH_FIELD)
#undef JCAMP_HASH_FIELD
  hashSample(hash, block.yValues, block.tableLength);
  hashSample(hash, block.xValues, block.tableLength);
  hashSample(hash, block.xIsReal, block.tableLength);
  hashSample(hash, block.concentrations, block.concentrationLength);
  return hash;
}

void copyBlockState(const JcampBlock& from, JcampBlock& to) {
  auto yValues = copyEntries(from.yValues, from.tableLength);
  auto xValues = copyEntries(from.xValues, from.tableLength);
  auto xIsReal = copyEntries(from.xIsReal, from.tableLength);
  auto concentrations = copyEntries(from.concentrations, from.concentrationLength);
#define JCAMP_COPY_FIELD(field) std::memcpy(&to.field, &from.field, sizeof from.field);
  JCAMP_BLOCK_FIELDS(JCAMP_COPY_FIELD)
#undef JCAMP_COPY_FIELD
  to.yValues = std::move(yValues);
  to.xValues = std::move(xValues);
  to.xIsReal = std::move(xIsReal);
  to.concentrations = std::move(concentrations);
}

uint64_t blockArrayEntries(const JcampBlock& block) {
  const uint64_t table = block.tableLength;
  return (block.yValues ? table : 0) + (block.xValues ? table : 0) + (block.xIsReal ? table : 0) +
         (block.concentrations ? block.concentrationLength : 0);
}

}  // namespace jcamp
