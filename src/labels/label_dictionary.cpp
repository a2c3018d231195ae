#include "labels/label_dictionary.h"

#include <cstddef>
#include <cstring>
#include <string_view>

#include "labels/data_types.h"
#include "labels/page_tables.h"
#include "labels/table_readers.h"
#include "labels/value_parsers.h"
#include "labels/variable_list.h"

namespace jcamp {
namespace {

using Apply = Status (*)(JcampBlock&, const LabelRecord&, const ReadContext&);

// Text labels keep a reference to their record; their lines stay with the document.
template <JcampBlock::Ref JcampBlock::*field>
Status storeRef(JcampBlock& block, const LabelRecord& record, const ReadContext& /*context*/) {
  block.*field = &record;
  return kStatusOk;
}

template <float JcampBlock::*field>
Status storeFloat(JcampBlock& block, const LabelRecord& record, const ReadContext& context) {
  block.*field = parseFloat(valueText(context, record));
  return kStatusOk;
}

template <double JcampBlock::*field>
Status storeDouble(JcampBlock& block, const LabelRecord& record, const ReadContext& context) {
  block.*field = parseDouble(valueText(context, record));
  return kStatusOk;
}

template <uint32_t JcampBlock::*field>
Status storeUnsigned(JcampBlock& block, const LabelRecord& record, const ReadContext& context) {
  block.*field = parseUnsigned(valueText(context, record));
  return kStatusOk;
}

template <int32_t JcampBlock::*field>
Status storeInt(JcampBlock& block, const LabelRecord& record, const ReadContext& context) {
  block.*field = parseInt(valueText(context, record));
  return kStatusOk;
}

template <float (JcampBlock::*field)[2]>
Status storeFloatPair(JcampBlock& block, const LabelRecord& record, const ReadContext& context) {
  parseFloatPair(valueText(context, record), block.*field);
  return kStatusOk;
}

template <char (JcampBlock::*code)[5], float (JcampBlock::*values)[3]>
Status storeChamber(JcampBlock& block, const LabelRecord& record, const ReadContext& context) {
  parseChamber(valueText(context, record), block.*code, block.*values);
  return kStatusOk;
}

Status storeDataType(JcampBlock& block, const LabelRecord& record, const ReadContext& context) {
  block.dataType = classifyDataType(valueText(context, record));
  return kStatusOk;
}

Status storeDataClass(JcampBlock& block, const LabelRecord& record, const ReadContext& context) {
  classifyDataClass(block, valueText(context, record));
  return kStatusOk;
}

Status storeXyPoints(JcampBlock& block, const LabelRecord& record, const ReadContext& context) {
  noteReplacedTable(block, record);
  const Status status = readXyPoints(block, record, context);
  block.tableForm = kTableFormXyPoints;
  block.peakTable = false;
  return status;
}

// The table labels name their decoder whatever their variable list says;
// under peakTables an ##XYDATA= table of (XY..XY) pairs is read as pairs.
Status storeXyData(JcampBlock& block, const LabelRecord& record, const ReadContext& context) {
  if (context.rules.peakTables && listsXyPairs(valueText(context, record))) {
    return storeXyPoints(block, record, context);
  }
  noteReplacedTable(block, record);
  const Status status = readXyData(block, record, context);
  block.tableForm = kTableFormXyData;
  block.peakTable = false;
  return status;
}

Status storeNtuplesMark(JcampBlock& block, const LabelRecord&, const ReadContext&) {
  block.tableForm = kTableFormNTuples;
  return kStatusOk;
}

struct UnlistedEntry {
  const char* name;
  Apply apply;
};

// Labels read only under ntuplesPages: NTUPLES variables and pages. The
// ##NTUPLES= label itself marks the block; its pages' tables are read.
constexpr UnlistedEntry kPageLabels[] = {
    {"NTUPLES", storeNtuplesMark},
    {"SYMBOL", storeRef<&JcampBlock::variableSymbols>},
    {"VARDIM", storeRef<&JcampBlock::variableDims>},
    {"FIRST", storeRef<&JcampBlock::variableFirst>},
    {"LAST", storeRef<&JcampBlock::variableLast>},
    {"FACTOR", storeRef<&JcampBlock::variableFactors>},
    {"UNITS", storeRef<&JcampBlock::variableUnits>},
    {"PAGE", storeRef<&JcampBlock::page>},
    {"DATATABLE", readPageTable},
};

// Data tables that give no row's values (under ntuplesPages the NTUPLES
// ones are read above): the block notes them, so that what is left out is said.
constexpr const char* kUnreadTables[] = {"PEAKTABLE", "PEAKASSIGNMENTS", "RADATA", "NTUPLES",
                                         "DATATABLE"};

const UnlistedEntry* findPageLabel(const char* name) {
  for (const UnlistedEntry& entry : kPageLabels) {
    if (std::strcmp(name, entry.name) == 0) return &entry;
  }
  return nullptr;
}

bool isUnreadTable(const char* name) {
  for (const char* table : kUnreadTables) {
    if (std::strcmp(name, table) == 0) return true;
  }
  return false;
}

// A label outside the dictionary: ignored, but under peakTables a
// ##PEAK TABLE=(XY..XY) is a table of pairs, under ntuplesPages the NTUPLES
// labels are read, and any other data table is noted as not read.
Status applyUnlisted(JcampBlock& block, const LabelRecord& record, const ReadContext& context) {
  const char* name = record.name.get();
  if (name == nullptr) return kStatusOk;
  if (context.rules.ntuplesPages) {
    if (const UnlistedEntry* entry = findPageLabel(name)) {
      return entry->apply(block, record, context);
    }
  }
  const bool pairs = context.rules.peakTables && std::strcmp(name, "PEAKTABLE") == 0 &&
                     listsXyPairs(valueText(context, record));
  if (pairs) {
    const Status status = storeXyPoints(block, record, context);
    block.peakTable = true;
    return status;
  }
  if (isUnreadTable(name)) block.unreadTable = &record;
  return kStatusOk;
}

Status storeConcentrations(JcampBlock& block, const LabelRecord& record,
                           const ReadContext& context) {
  block.concentrationsRecord = &record;
  return readConcentrations(block, record, context);
}

Status storeDate(JcampBlock& block, const LabelRecord& record, const ReadContext& context) {
  parseDate(valueText(context, record), block.year, block.month, block.day);
  return kStatusOk;
}

Status storeTime(JcampBlock& block, const LabelRecord& record, const ReadContext& context) {
  parseTime(valueText(context, record), block.hour, block.minute, block.seconds);
  return kStatusOk;
}

Status storeLongDate(JcampBlock& block, const LabelRecord& record, const ReadContext& context) {
  parseLongDate(valueText(context, record), block.year, block.month, block.day, block.hour,
                block.minute, block.seconds, block.zone);
  return kStatusOk;
}

struct Entry {
  std::string_view name;
  Apply apply;
};

using B = JcampBlock;

constexpr Entry kDictionary[] = {
    {"TITLE", storeRef<&B::title>},
    {"JCAMPDX", storeFloat<&B::jcampVersion>},
    {"DATATYPE", storeDataType},
    {"DATACLASS", storeDataClass},
    {"ORIGIN", storeRef<&B::origin>},
    {"OWNER", storeRef<&B::owner>},
    {"BLOCKID", storeUnsigned<&B::blockId>},
    {".IMSPRESSURE", storeFloat<&B::imsPressure>},
    {".CARRIERGAS", storeRef<&B::carrierGas>},
    {".DRIFTGAS", storeRef<&B::driftGas>},
    {".ELECTRICFIELD", storeFloatPair<&B::electricField>},
    {".IONPOLARITY", storeRef<&B::ionPolarity>},
    {".IONIZATIONMODE", storeRef<&B::ionizationMode>},
    {".IMSTEMPERATURE", storeFloatPair<&B::imsTemperature>},
    {".SHUTTEROPENINGTIME", storeFloat<&B::shutterOpeningTime>},
    {"XUNITS", storeRef<&B::xUnits>},
    {"YUNITS", storeRef<&B::yUnits>},
    {"FIRSTX", storeDouble<&B::firstX>},
    {"LASTX", storeDouble<&B::lastX>},
    {"FIRSTY", storeFloat<&B::firstY>},
    {"XFACTOR", storeDouble<&B::xFactor>},
    {"YFACTOR", storeDouble<&B::yFactor>},
    {"NPOINTS", storeUnsigned<&B::nPoints>},
    {"XYDATA", storeXyData},
    {"XYPOINTS", storeXyPoints},
    {"DATE", storeDate},
    {"TIME", storeTime},
    {"LONGDATE", storeLongDate},
    {"SOURCEREFERENCE", storeRef<&B::sourceReference>},
    {"CROSSREFERENCE", storeRef<&B::crossReference>},
    {"SAMPLEDESCRIPTION", storeRef<&B::sampleDescription>},
    {"CASNAME", storeRef<&B::casName>},
    {"IUPACNAME", storeRef<&B::iupacName>},
    {"NAMES", storeRef<&B::names>},
    {"MOLFORM", storeRef<&B::molForm>},
    {"CASREGISTRYNO", storeRef<&B::casRegistryNo>},
    {"CONCENTRATIONS", storeConcentrations},
    {"SPECTROMETERDATASYSTEM", storeRef<&B::spectrometerDataSystem>},
    {"INSTRUMENTALPARAMETERS", storeRef<&B::instrumentalParameters>},
    {"DATAPROCESSING", storeRef<&B::dataProcessing>},
    {"COMMENT", storeRef<&B::comment>},
    {"XLABEL", storeRef<&B::xLabel>},
    {"YLABEL", storeRef<&B::yLabel>},
    {"MAXX", storeFloat<&B::maxX>},
    {"MINX", storeFloat<&B::minX>},
    {"MAXY", storeFloat<&B::maxY>},
    {"MINY", storeFloat<&B::minY>},
    {".REDUCEDMOBILITY", storeRef<&B::reducedMobility>},
    {".IONIZATIONENERGY", storeFloat<&B::ionizationEnergy>},
    {".IONIZATIONCHAMBER", storeChamber<&B::ionizationChamberCode, &B::ionizationChamber>},
    {".DRIFTCHAMBER", storeChamber<&B::driftChamberCode, &B::driftChamber>},
    {".CARRIERGASFLOW", storeFloatPair<&B::carrierGasFlow>},
    {".DRIFTGASFLOW", storeFloat<&B::driftGasFlow>},
    {".CARRIERGASMOISTURE", storeFloat<&B::carrierGasMoisture>},
    {".IONIZATIONSOURCE", storeRef<&B::ionizationSource>},
    {".SHUTTERGRIDPOTENTIAL", storeFloat<&B::shutterGridPotential>},
    {".REPETITIONRATE", storeFloat<&B::repetitionRate>},
    {".AVERAGES", storeInt<&B::averages>},
    {".OBSERVEFREQUENCY", storeDouble<&B::observeFrequency>},
};
static_assert(sizeof(kDictionary) / sizeof(kDictionary[0]) == kDictionarySize);

constexpr size_t longestName() {
  size_t longest = 0;
  for (const Entry& entry : kDictionary)
    longest = entry.name.size() > longest ? entry.name.size() : longest;
  return longest;
}
constexpr size_t kLongestName = longestName();

// The rows grouped by name length, each group in table order: a name is
// compared only with the few names of its own length. The names are distinct,
// so this finds the row the table order would.
struct LengthIndex {
  uint8_t groupStart[kLongestName + 2] =
      {};  // rows of length L: groupStart[L] .. groupStart[L + 1]
  uint8_t rows[kDictionarySize] = {};
};

constexpr LengthIndex makeLengthIndex() {
  LengthIndex index;
  uint8_t start = 0;
  for (size_t length = 0; length <= kLongestName; ++length) {
    index.groupStart[length] = start;
    for (size_t row = 0; row < kDictionarySize; ++row) {
      if (kDictionary[row].name.size() == length) index.rows[start++] = static_cast<uint8_t>(row);
    }
  }
  index.groupStart[kLongestName + 1] = start;
  return index;
}
constexpr LengthIndex kByLength = makeLengthIndex();

}  // namespace

uint32_t dictionaryRow(const char* name) {
  if (name == nullptr) return 0;
  size_t length = 0;
  while (length <= kLongestName && name[length] != '\0') ++length;
  if (length > kLongestName) return 0;
  for (uint32_t k = kByLength.groupStart[length]; k < kByLength.groupStart[length + 1]; ++k) {
    const uint32_t row = kByLength.rows[k];
    if (std::memcmp(kDictionary[row].name.data(), name, length) == 0) return row + 1;
  }
  return 0;
}

Status applyLabel(JcampBlock& block, const LabelRecord& record, const ReadContext& context) {
  const uint32_t row = dictionaryRow(record.name.get());
  return row == 0 ? applyUnlisted(block, record, context)
                  : kDictionary[row - 1].apply(block, record, context);
}

}  // namespace jcamp
