// Rows resampled onto one X grid (setGrid): what the library refuses to
// make, small files whose resampled values are known, generated sets on other
// grids and in other units against their true values, and the public
// infrared files given together.
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <limits>
#include <map>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "support/jdx_text.h"
#include "support/library_fixture.h"
#include "support/truth.h"

namespace {

namespace fs = std::filesystem;
using testpaths::generatedSet;
using testpaths::readTruth;
using testpaths::Truth;

// The bound the bench kit gives for linear interpolation of its spectra
// between the grids and units it writes.
constexpr double kInterpolationTolerance = 0.013;
constexpr double kAbscissaBits = 4 * std::numeric_limits<double>::epsilon();

JcampGrid gridOf(int32_t policy, double first = 0, double last = 0, int32_t count = 0,
                 const char* units = "") {
  JcampGrid grid{};
  grid.size = sizeof grid;
  grid.policy = policy;
  grid.first = first;
  grid.last = last;
  grid.count = count;
  std::strncpy(grid.units, units, sizeof grid.units - 1);
  return grid;
}

struct Row {
  std::vector<float> values;  // the X columns
  JcampSampleInfo info{};
};

struct Matrix {
  std::vector<double> x;
  std::vector<Row> rows;
};

class GridTest : public LibraryTest {
 protected:
  // The files imported in the standard mode, onto grid unless it is null;
  // rows of files that are refused are missing, as are files after a failure.
  Matrix import(const std::vector<std::string>& files, const JcampGrid* grid, int32_t yCount = 0) {
    const uint32_t handle = openHandle();
    EXPECT_EQ(lib().setReadingMode(handle, JCAMP_MODE_STANDARD), JCAMP_OK);
    if (grid != nullptr) {
      EXPECT_EQ(lib().setGrid(handle, grid), JCAMP_OK);
    }
    for (const std::string& file : files) lib().addFileName(handle, file.c_str());
    boxes_.texts.clear();
    EXPECT_EQ(lib().importData(handle), JCAMP_OK);
    Matrix matrix;
    const int32_t variables = variableCount(handle);
    const int32_t xCount = variables - yCount;
    char name[256];
    for (int32_t v = 0; v < xCount; ++v) {
      EXPECT_EQ(lib().getVariableName(handle, v, name), JCAMP_OK);
      matrix.x.push_back(std::stod(name));
    }
    for (int32_t s = 0; s < sampleCount(handle); ++s) {
      Row row;
      row.values.resize(static_cast<size_t>(variables));
      EXPECT_EQ(lib().getValues(handle, s, 0, variables, row.values.data()), JCAMP_OK);
      row.values.resize(static_cast<size_t>(xCount));
      row.info = sampleInfo(handle, s);
      matrix.rows.push_back(std::move(row));
    }
    return matrix;
  }
};

// A row as "v v v !flags coverage": m for missing, R resampled, Y other Y units.
std::string describe(const Row& row) {
  std::ostringstream text;
  for (size_t i = 0; i < row.values.size(); ++i) {
    text << (i > 0 ? " " : "");
    if (std::isnan(row.values[i])) {
      text << "m";
    } else {
      text << row.values[i];
    }
  }
  if ((row.info.warnings & JCAMP_WARN_RESAMPLED) != 0) text << " !R " << row.info.coverage;
  if ((row.info.warnings & JCAMP_WARN_Y_UNITS) != 0) text << " !Y";
  return text.str();
}

TEST_F(GridTest, SetGridRefusesWhatItCannotMake) {
  const JcampGrid fine = gridOf(JCAMP_GRID_EXPLICIT, 4000, 400, 3601, "1/CM");
  JcampGrid small = fine;
  small.size = offsetof(JcampGrid, units);
  JcampGrid unterminated = fine;
  std::memset(unterminated.units, 'A', sizeof unterminated.units);
  const struct {
    JcampGrid grid;
    int32_t result;
  } cases[] = {
      {fine, JCAMP_OK},
      {gridOf(JCAMP_GRID_OVERLAP), JCAMP_OK},
      {gridOf(JCAMP_GRID_NONE), JCAMP_OK},
      {small, JCAMP_BAD_ARGUMENT},
      {unterminated, JCAMP_BAD_ARGUMENT},
      {gridOf(7), JCAMP_BAD_ARGUMENT},
      {gridOf(JCAMP_GRID_EXPLICIT, 1, 2, 0), JCAMP_BAD_ARGUMENT},
      {gridOf(JCAMP_GRID_EXPLICIT, 1, 2, JCAMP_GRID_MOST_POINTS + 1), JCAMP_BAD_ARGUMENT},
      {gridOf(JCAMP_GRID_EXPLICIT, 1, 1, 2), JCAMP_BAD_ARGUMENT},
      {gridOf(JCAMP_GRID_EXPLICIT, 1, 1, 1), JCAMP_OK},
      {gridOf(JCAMP_GRID_EXPLICIT, NAN, 1, 5), JCAMP_BAD_ARGUMENT},
      {gridOf(JCAMP_GRID_EXPLICIT, 0, HUGE_VAL, 5), JCAMP_BAD_ARGUMENT},
  };
  for (const auto& test : cases) {
    const uint32_t handle = openHandle();
    ASSERT_EQ(lib().setReadingMode(handle, JCAMP_MODE_STANDARD), JCAMP_OK);
    EXPECT_EQ(lib().setGrid(handle, &test.grid), test.result)
        << test.grid.policy << " " << test.grid.count;
  }
  const uint32_t handle = openHandle();
  EXPECT_EQ(lib().setGrid(handle, nullptr), JCAMP_NULL_ARGUMENT);
  // The host-compatible mode keeps its rows: a grid needs the standard mode, either way round.
  EXPECT_EQ(lib().setGrid(handle, &fine), JCAMP_BAD_ARGUMENT);
  ASSERT_EQ(lib().setReadingMode(handle, JCAMP_MODE_STANDARD), JCAMP_OK);
  EXPECT_EQ(lib().setGrid(handle, &fine), JCAMP_OK);
  EXPECT_EQ(lib().setReadingMode(handle, JCAMP_MODE_HOST_COMPATIBLE), JCAMP_BAD_ARGUMENT);
  ASSERT_EQ(lib().addFileName(handle, testpaths::exampleFile("wheat-a.jdx").c_str()), JCAMP_OK);
  EXPECT_EQ(lib().setGrid(handle, &fine), JCAMP_MODE_LOCKED);
  EXPECT_EQ(lib().setGrid(0, &fine), JCAMP_INVALID_HANDLE);
}

// Four points 1..4 (10 20 30 40 unless given), in units, with more header lines.
std::string fourPoints(const std::string& units, const std::string& header = "",
                       const std::string& data = "1 10 20 30 40", const std::string& first = "1",
                       const std::string& last = "4") {
  return jdxtext::spectrum("s", first, last, data, "##XUNITS=" + units + "\n" + header);
}

std::string peaks(const std::string& units, const std::string& range, const std::string& pairs) {
  return "##TITLE=p\n##DATA TYPE=INFRARED SPECTRUM\n##XUNITS=" + units + "\n##YUNITS=A\n" + range +
         "##XFACTOR=1\n##YFACTOR=1\n##NPOINTS=4\n##PEAK TABLE=(XY..XY)\n" + pairs + "\n##END=\n";
}

TEST_F(GridTest, SmallFilesGiveTheirKnownValues) {
  const std::string hz = "##.OBSERVE FREQUENCY=100\n";
  const struct {
    const char* what;
    std::vector<std::string> files;
    JcampGrid grid;
    std::vector<std::string> rows;
    const char* box = "";  // what a message box says, "" for none
  } cases[] = {
      {"linear between points, their own values where they coincide, never beyond",
       {fourPoints("1/CM")},
       gridOf(JCAMP_GRID_EXPLICIT, 0, 5, 11),
       {"m m 10 15 20 25 30 35 40 m m !R 0.636364"}},
      {"a falling source",
       {fourPoints("1/CM", "", "4 40 30 20 10", "4", "1")},
       gridOf(JCAMP_GRID_EXPLICIT, 0, 5, 11),
       {"m m 10 15 20 25 30 35 40 m m !R 0.636364"}},
      {"a missing ordinate leaves the grid points beside it missing",
       {fourPoints("1/CM", "", "1 10 ? 30 40")},
       gridOf(JCAMP_GRID_EXPLICIT, 1, 4, 7),
       {"10 m m m 30 35 40 !R 0.571429"}},
      {"micrometres onto wavenumbers, interpolated in wavenumbers",
       {fourPoints("MICROMETERS")},
       gridOf(JCAMP_GRID_EXPLICIT, 10000, 2500, 4, "1/CM"),
       {"10 15 20 40 !R 1"}},
      {"hertz onto ppm with the observe frequency",
       {fourPoints("HZ", hz, "100 10 20 30 40", "100", "400")},
       gridOf(JCAMP_GRID_EXPLICIT, 4, 1, 4, "PPM"),
       {"40 30 20 10 !R 1"}},
      {"an NTUPLES page in hertz, its units from ##UNITS=, onto ppm",
       {"##TITLE=n\n##JCAMP-DX=5.01\n##DATA TYPE=NMR SPECTRUM\n##DATA CLASS=NTUPLES\n" + hz +
        "##NTUPLES=NMR SPECTRUM\n##SYMBOL=X, R, N\n##VAR_DIM=4, 4, 1\n##UNITS=HZ, A,\n"
        "##FIRST=100, 10, 1\n##LAST=400, 40, 1\n##FACTOR=1, 1, 1\n##PAGE=N=1\n"
        "##DATA TABLE=(X++(R..R)), XYDATA\n100 10 20 30 40\n##END NTUPLES=NMR SPECTRUM\n##END=\n"},
       gridOf(JCAMP_GRID_EXPLICIT, 4, 1, 4, "PPM"),
       {"40 30 20 10 !R 1"}},
      {"hertz without an observe frequency",
       {fourPoints("HZ", "", "100 10 20 30 40", "100", "400")},
       gridOf(JCAMP_GRID_EXPLICIT, 4, 1, 4, "PPM"),
       {},
       "block 1: X in HZ, the grid in PPM, and no ##.OBSERVE FREQUENCY= to convert them"},
      {"units that do not convert are refused, both named",
       {fourPoints("1/CM"), fourPoints("M/Z")},
       gridOf(JCAMP_GRID_FIRST),
       {"10 20 30 40"},
       "block 1: X in M/Z, the grid in 1/CM"},
      {"the first file's grid: another point count is resampled, not refused",
       {fourPoints("1/CM"),
        jdxtext::spectrum("seven", "1", "4", "1 1 2 3 4 5 6 7", "##XUNITS=1/CM\n", 7)},
       gridOf(JCAMP_GRID_FIRST),
       {"10 20 30 40", "1 3 5 7 !R 1"}},
      {"another ##YUNITS= warns",
       {fourPoints("1/CM", "##YUNITS=ABSORBANCE\n"),
        fourPoints("1/CM", "##YUNITS=TRANSMITTANCE\n")},
       gridOf(JCAMP_GRID_FIRST),
       {"10 20 30 40", "10 20 30 40 !Y"}},
      {"peaks add up at their nearest point, 0 between them, missing beyond the range",
       {peaks("1/CM", "##FIRSTX=1\n##LASTX=3\n", "1.2, 5; 1.4, 7; 2.6, 1; 3.0, 2")},
       gridOf(JCAMP_GRID_EXPLICIT, 0, 4, 5),
       {"m 12 0 3 m !R 0.6"}},
      {"peaks without a range: 0 wherever there is none",
       {peaks("1/CM", "", "1.2, 5; 1.4, 7; 2.6, 1; 9, 2")},
       gridOf(JCAMP_GRID_EXPLICIT, 0, 4, 5),
       {"0 12 0 1 0 !R 1"}},
  };
  for (const auto& test : cases) {
    SCOPED_TRACE(test.what);
    const Matrix matrix = import(testpaths::writeFiles(test.files), &test.grid);
    std::vector<std::string> rows;
    for (const Row& row : matrix.rows) rows.push_back(describe(row));
    EXPECT_EQ(rows, test.rows);
    const std::string box = boxes_.texts.empty() ? "" : boxes_.texts.front();
    if (*test.box == '\0') {
      EXPECT_TRUE(boxes_.texts.empty()) << box;
    } else {
      EXPECT_NE(box.find(test.box), std::string::npos) << box;
    }
  }
}

// An abscissa of the generator's units in another: wavenumbers are 1e4 / um, 1e7 / nm.
double converted(double x, const std::string& from, const std::string& to) {
  const std::map<std::string, double> perWavenumber{
      {"1/CM", 0}, {"MICROMETERS", 1e4}, {"NANOMETERS", 1e7}};
  if (from == to) return x;
  const double wavenumber = from == "1/CM" ? x : perWavenumber.at(from) / x;
  return to == "1/CM" ? wavenumber : perWavenumber.at(to) / wavenumber;
}

TEST_F(GridTest, GeneratedSetsOnOtherGridsAndUnitsAgreeWithTheirTruth) {
  const struct {
    const char* source;
    const char* units;  // the source's
    JcampGrid grid;
    const char* target;  // the set whose truth lies on the grid
  } cases[] = {
      {"3x151-difdup-link-g1_2.5_151-um-n0", "MICROMETERS",
       gridOf(JCAMP_GRID_EXPLICIT, 10000, 4000, 3001, "1/CM"),
       "3x3001-difdup-files-g10000_4000_3001-n0"},
      {"3x301-xypoints-files-g1000_2500_301-nm-n0", "NANOMETERS",
       gridOf(JCAMP_GRID_EXPLICIT, 10000, 4000, 3001, "1/CM"),
       "3x3001-difdup-files-g10000_4000_3001-n0"},
      {"3x601-xypoints-link-g4000_10000_601-n0", "1/CM",
       gridOf(JCAMP_GRID_EXPLICIT, 10000, 4000, 3001, "1/CM"),
       "3x3001-difdup-files-g10000_4000_3001-n0"},
      {"3x3001-xypoints-link-g10000_4000_3001-n0", "1/CM",
       gridOf(JCAMP_GRID_EXPLICIT, 1, 2.5, 151, "MICROMETERS"),
       "3x151-difdup-files-g1_2.5_151-um-n0"},
      {"3x3001-difdup-link-g10000_4000_3001-n0", "1/CM",
       gridOf(JCAMP_GRID_EXPLICIT, 1000, 2500, 301, "NANOMETERS"),
       "3x301-difdup-files-g1000_2500_301-nm-n0"},
  };
  for (const auto& test : cases) {
    SCOPED_TRACE(test.source);
    const std::string source = generatedSet(test.source);
    const std::string target = generatedSet(test.target);
    if (source.empty() || target.empty()) {
      GTEST_SKIP() << "no generated sets (scripts/generate-sets.sh, JCAMP_GENERATED)";
    }
    constexpr int32_t kComponents = 3;
    const Truth truth = readTruth(target);
    const Matrix resampled = import(testpaths::filesIn(source), &test.grid, kComponents);
    const Matrix own = import(testpaths::filesIn(source), nullptr, kComponents);
    ASSERT_EQ(resampled.x.size(), truth.xs.size());
    for (size_t i = 0; i < truth.xs.size(); ++i) {
      // Within the last bits: valgrind works the long double of an even grid in double.
      ASSERT_NEAR(resampled.x[i], truth.xs[i], kAbscissaBits * std::fabs(truth.xs[i]));
    }
    ASSERT_EQ(resampled.rows.size(), truth.spectra.size());
    const std::string targetUnits = test.grid.units;
    int coinciding = 0;
    for (size_t s = 0; s < truth.spectra.size(); ++s) {
      const Row& row = resampled.rows[s];
      EXPECT_EQ(row.info.warnings, uint32_t{JCAMP_WARN_RESAMPLED});
      EXPECT_EQ(row.info.coverage, 1.0f);
      for (size_t i = 0; i < truth.xs.size(); ++i) {
        EXPECT_NEAR(row.values[i], truth.spectra[s][i], kInterpolationTolerance)
            << "at " << truth.xs[i];
      }
      // Where a grid point is a point of the source, its value is the source's own.
      for (size_t j = 0; j < own.x.size(); ++j) {
        const double x = converted(own.x[j], test.units, targetUnits);
        const auto at = std::find_if(truth.xs.begin(), truth.xs.end(), [x](double t) {
          return std::fabs(t - x) <= 1e-9 * std::fabs(t);
        });
        if (at == truth.xs.end()) continue;
        ++coinciding;
        EXPECT_EQ(row.values[static_cast<size_t>(at - truth.xs.begin())], own.rows[s].values[j])
            << "at " << *at;
      }
    }
    EXPECT_GT(coinciding, 0);
  }
}

TEST_F(GridTest, OverlapAndPeaksOfGeneratedSets) {
  const std::string fine = generatedSet("3x3001-difdup-files-g10000_4000_3001-n0");
  const std::string micrometres = generatedSet("3x151-difdup-link-g1_2.5_151-um-n0");
  const std::string peakTables = generatedSet("3x300-peaktable-files-g10000_4020_300-n0");
  if (fine.empty() || micrometres.empty() || peakTables.empty()) {
    GTEST_SKIP() << "no generated sets (scripts/generate-sets.sh, JCAMP_GENERATED)";
  }
  // Both cover 4000 to 10000 cm-1; the finest step is the 2 cm-1 set's.
  std::vector<std::string> files = testpaths::filesIn(fine);
  const std::vector<std::string> more = testpaths::filesIn(micrometres);
  files.insert(files.end(), more.begin(), more.end());
  const JcampGrid overlap = gridOf(JCAMP_GRID_OVERLAP);
  const Matrix both = import(files, &overlap, 3);
  ASSERT_EQ(both.x.size(), 3001u);
  EXPECT_EQ(both.x.front(), 10000.0);
  EXPECT_EQ(both.x.back(), 4000.0);
  ASSERT_EQ(both.rows.size(), 6u);
  EXPECT_EQ(both.rows[0].info.warnings, 0u);
  EXPECT_EQ(both.rows[5].info.warnings, uint32_t{JCAMP_WARN_RESAMPLED});

  // Peaks every 20 cm-1 onto 2 cm-1: each on its own grid point, 0 between,
  // missing past the table's range (4020 to 4000).
  const JcampGrid grid = gridOf(JCAMP_GRID_EXPLICIT, 10000, 4000, 3001, "1/CM");
  const Matrix binned = import(testpaths::filesIn(peakTables), &grid, 3);
  const Matrix own = import(testpaths::filesIn(peakTables), nullptr, 3);
  ASSERT_EQ(binned.rows.size(), own.rows.size());
  for (size_t s = 0; s < binned.rows.size(); ++s) {
    const std::vector<float>& values = binned.rows[s].values;
    for (size_t i = 0; i < values.size(); ++i) {
      if (i % 10 == 0 && i / 10 < own.x.size()) {
        EXPECT_EQ(values[i], own.rows[s].values[i / 10]) << binned.x[i];
      } else if (binned.x[i] < 4020) {
        EXPECT_TRUE(std::isnan(values[i])) << binned.x[i];
      } else {
        EXPECT_EQ(values[i], 0.0f) << binned.x[i];
      }
    }
    EXPECT_FLOAT_EQ(binned.rows[s].info.coverage, 2991.0f / 3001.0f);
  }
}

// The value at x on the straight line between the row's neighbouring points
// (NaN outside), and how far a grid point within a thousandth of the step
// from one of them, which takes that point's value, may lie from the line.
struct Expected {
  double value = NAN;
  double room = 0;
};

// A row's points in rising X.
using Points = std::vector<std::pair<double, float>>;

Expected linearAt(const Points& points, double x) {
  const auto after = std::lower_bound(points.begin(), points.end(), std::make_pair(x, -HUGE_VALF));
  if (after == points.end() || after == points.begin()) {
    return after != points.end() && after->first == x ? Expected{after->second, 0} : Expected{};
  }
  const auto [x0, y0] = *(after - 1);
  const auto [x1, y1] = *after;
  const double rise = static_cast<double>(y1) - y0;
  return {y0 + (x - x0) / (x1 - x0) * rise, 1e-3 * std::fabs(rise)};
}

// The public files whose first ##XUNITS= is 1/CM and which hold an infrared spectrum.
std::vector<std::string> infraredFiles() {
  std::vector<std::string> files;
  for (const std::string& file : testpaths::corpusFiles()) {
    std::ifstream in(fs::u8path(file), std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::string upper(text.size(), ' ');
    std::transform(text.begin(), text.end(), upper.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    const size_t units = upper.find("##XUNITS=");
    if (units == std::string::npos) continue;
    std::string value = upper.substr(units + 9, upper.find_first_of("\r\n", units) - units - 9);
    value.erase(std::remove_if(value.begin(), value.end(), ::isspace), value.end());
    if (value == "1/CM" && upper.find("INFRARED") != std::string::npos) files.push_back(file);
  }
  return files;
}

// Whether the first table the standard mode reads in the file is a peak table.
bool startsWithPeaks(JcampLibrary& lib, const std::string& file) {
  char shape[1024] = "";
  lib.checkFileNameMode(file.c_str(), JCAMP_MODE_STANDARD, shape, sizeof shape);
  return std::string(shape).find("\tPEAK TABLE\t") != std::string::npos;
}

// Peaks binned onto the grid keep their sum, but for those more than half a step beyond its ends.
void expectBinned(const Matrix& grid, const Row& row, const Matrix& own, const Row& ownRow) {
  const auto [low, high] = std::minmax(grid.x.front(), grid.x.back());
  const double half = 0.5 * std::fabs(grid.x[1] - grid.x[0]);
  double expected = 0;
  for (size_t j = 0; j < own.x.size(); ++j) {
    if (own.x[j] >= low - half && own.x[j] <= high + half) expected += ownRow.values[j];
  }
  double binned = 0;
  for (float value : row.values) binned += std::isnan(value) ? 0.0 : value;
  EXPECT_NEAR(binned, expected, 1e-5 * std::fabs(expected));
}

// Each row the file gives alone, on the grid: the straight line between its own points.
void expectInterpolated(const Matrix& grid, const Row& row, const Matrix& own, const Row& ownRow) {
  float largest = 1;
  for (float y : ownRow.values) largest = std::isnan(y) ? largest : std::max(largest, std::fabs(y));
  Points points;
  for (size_t j = 0; j < own.x.size(); ++j) points.emplace_back(own.x[j], ownRow.values[j]);
  std::sort(points.begin(), points.end());
  int filled = 0;
  for (size_t i = 0; i < grid.x.size(); ++i) {
    const Expected expected = linearAt(points, grid.x[i]);
    if (std::isnan(expected.value)) {
      EXPECT_TRUE(std::isnan(row.values[i])) << grid.x[i];
      continue;
    }
    ++filled;
    EXPECT_NEAR(row.values[i], expected.value, 1e-6 * largest + expected.room) << grid.x[i];
  }
  const float coverage = (row.info.warnings & JCAMP_WARN_RESAMPLED) != 0 ? row.info.coverage : 1;
  EXPECT_NEAR(coverage, static_cast<double>(filled) / grid.x.size(), 1e-6);
}

TEST_F(GridTest, PublicInfraredFilesTogetherGiveEveryRowTheyGiveAlone) {
  SKIP_WITHOUT_CORPUS();
  const std::vector<std::string> files = infraredFiles();
  ASSERT_GE(files.size(), 38u);
  const JcampGrid grid = gridOf(JCAMP_GRID_EXPLICIT, 4000, 400, 3601, "1/CM");
  const Matrix together = import(files, &grid);
  std::map<std::pair<int32_t, int32_t>, const Row*> rowOf;
  for (const Row& row : together.rows) rowOf[{row.info.fileIndex, row.info.blockIndex}] = &row;
  size_t alone = 0;
  for (size_t f = 0; f < files.size(); ++f) {
    SCOPED_TRACE(files[f]);
    const Matrix own = import({files[f]}, nullptr);
    for (const Row& ownRow : own.rows) {
      ++alone;
      const auto found = rowOf.find({static_cast<int32_t>(f), ownRow.info.blockIndex});
      ASSERT_NE(found, rowOf.end()) << "block " << ownRow.info.blockIndex;
      if (startsWithPeaks(lib(), files[f])) {
        expectBinned(together, *found->second, own, ownRow);
      } else {
        expectInterpolated(together, *found->second, own, ownRow);
      }
    }
  }
  EXPECT_GE(together.rows.size(), alone);
}

}  // namespace
