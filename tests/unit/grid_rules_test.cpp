// The rules behind the grid policies: which X units convert and how, the
// overlap grid, the labels the overlap reads from a file, and resampling onto
// a grid whose points come in no order.
#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <string>
#include <vector>

#include "document/block_points.h"
#include "document/grid_points.h"
#include "document/linear_resampling.h"
#include "document/overlap_grid.h"
#include "document/x_units.h"
#include "jcampimport.h"
#include "labels/data_types.h"
#include "labels/markers.h"
#include "scan/block_axes.h"

namespace jcamp {
namespace {

// Spellings and the conversions the grid tests do not reach through files
// (those check micrometres to wavenumbers, hertz to ppm with and without a frequency).
TEST(GridRulesTest, UnitsConvertOrSayWhyNot) {
  const struct {
    const char* from;
    const char* to;
    double frequency;
    double x;
    double expected;  // NaN: they do not convert
    const char* reason;
  } cases[] = {
      {"1/CM", " 1/cm ", kUnsetDouble, 4000, 4000, ""},
      {"cm-1", "nm", kUnsetDouble, 4000, 2500, ""},
      {"\tNANOMETERS", "MICRONS", kUnsetDouble, 2500, 2.5, ""},
      {"UM", "NANOMETERS", kUnsetDouble, 2.5, 2500, ""},
      {"ppm", "Hz", 400, 2, 800, ""},
      {"M/Z", "m / z", kUnsetDouble, 44, 44, ""},
      {"HZ", "1/CM", 400, 800, NAN, "X in HZ, the grid in 1/CM"},
      {"", "NANOMETERS", kUnsetDouble, 1, NAN, "X in no ##XUNITS=, the grid in NANOMETERS"},
      {"SECONDS", "MINUTES", kUnsetDouble, 1, NAN, "X in SECONDS, the grid in MINUTES"},
  };
  for (const auto& test : cases) {
    SCOPED_TRACE(std::string(test.from) + " -> " + test.to);
    XConversion conversion;
    std::string reason;
    const bool converts = conversionBetween(xUnitsOf(test.from), xUnitsOf(test.to), test.frequency,
                                            conversion, reason);
    EXPECT_EQ(converts, !std::isnan(test.expected));
    if (converts) {
      EXPECT_DOUBLE_EQ(conversion.apply(test.x), test.expected);
    }
    EXPECT_EQ(reason, test.reason);
  }
}

BlockAxis axisOf(const char* units, double first, double last, uint32_t points,
                 bool peaks = false) {
  BlockAxis axis;
  axis.xUnits = units;
  axis.firstX = first;
  axis.lastX = last;
  axis.nPoints = points;
  axis.pairs = peaks;
  axis.peakTable = peaks;
  return axis;
}

TEST(GridRulesTest, OverlapIsTheSharedRangeAtTheFinestStep) {
  const BlockAxis wide = axisOf("1/CM", 4000, 400, 1801);         // step 2
  const BlockAxis fine = axisOf("1/CM", 650, 3999, 6699);         // step 0.5
  const BlockAxis micrometres = axisOf("MICROMETERS", 2, 10, 9);  // 5000 to 1000 cm-1
  const BlockAxis apart = axisOf("1/CM", 100, 300, 3);
  const BlockAxis hertz = axisOf("HZ", 500, 3000, 2);
  const BlockAxis unranged = axisOf("1/CM", kUnsetDouble, kUnsetDouble, 5);
  const struct {
    std::vector<std::vector<BlockAxis>> files;
    double first, last;
    uint32_t count;
    const char* units;
  } cases[] = {
      {{{wide}}, 4000, 400, 1801, "1/CM"},  // one spectrum: its own grid
      // The shared range, the finest step, the first's direction.
      {{{wide}, {fine}}, 3999, 650, 6699, "1/CM"},
      {{{fine}, {wide}}, 650, 3999, 6699, "1/CM"},
      // Other units narrow the range; a reciprocal step is taken at its finer end (111 cm-1).
      {{{axisOf("1/CM", 5000, 1000, 3)}, {micrometres}}, 5000, 1000, 37, "1/CM"},
      // A range apart, unconvertible units and no range are passed over.
      {{{unranged}, {wide, apart}, {hertz}}, 4000, 400, 1801, "1/CM"},
      // Peaks give a range but no step: 1 unit.
      {{{axisOf("M/Z", 10, 100, 30, true)}, {axisOf("M/Z", 20.5, 200, 30, true)}},
       20.5,
       100,
       81,
       "M/Z"},
  };
  for (const auto& test : cases) {
    SCOPED_TRACE(test.count);
    const MatrixAxis axis = overlapAxis(test.files);
    ASSERT_EQ(axis.grid.size(), test.count);
    EXPECT_EQ(axis.grid.at(0), test.first);
    EXPECT_EQ(axis.grid.at(test.count - 1), test.last);
    ASSERT_TRUE(axis.xUnits.has_value());
    EXPECT_EQ(axis.xUnits->written, test.units);
  }
  EXPECT_TRUE(overlapAxis({{unranged}, {}}).grid.empty());
  const MatrixAxis huge = overlapAxis({{axisOf("HZ", 0, 1e9, 1000000001)}});
  EXPECT_EQ(huge.grid.size(), uint32_t{JCAMP_GRID_MOST_POINTS});
}

TEST(GridRulesTest, AxesComeFromEachBlocksOwnLabels) {
  const std::string text =
      "##TITLE=set\r##DATA TYPE=LINK\r##BLOCKS=3\r"
      "##TITLE=structure\r##XUNITS=1/CM\r##END=\r"
      "##title=ir\r##xunits= MICROMETERS $$ a comment\r##FIRST_X=2.5\r##LASTX=25\r"
      "##NPOINTS=226\r##XYDATA=(X++(Y..Y))\r2.5 1 2 3\r$$ ##TITLE=not a label\r##END=\r"
      "##TITLE=ms\r##DATA TYPE=MASS SPECTRUM\r##.OBSERVE FREQUENCY=400.13\r"
      "##XYDATA=(XY..XY)\r 44, 100\r##END=\r"
      "##TITLE=peaks\r##XUNITS=1/CM\r  ##PEAK TABLE=(XY..XY)\r1000, 5\r##END=\r##END=\r";
  // Per block holding a table: units, first and last X, points, observe
  // frequency, data type, whether pairs, whether peaks.
  std::ostringstream axes;
  for (const BlockAxis& axis : scanBlockAxes(text.data(), text.size())) {
    axes << axis.xUnits << " " << axis.firstX << " " << axis.lastX << " " << axis.nPoints << " "
         << axis.observeFrequency << " " << axis.dataType << " " << axis.pairs << axis.peakTable
         << "; ";
  }
  EXPECT_EQ(axes.str(),
            "MICROMETERS 2.5 25 226 3.4e+38 0 00;  3.4e+38 3.4e+38 0 400.13 11 10; "
            "1/CM 3.4e+38 3.4e+38 0 3.4e+38 0 11; ");
}

TEST(GridRulesTest, PointsOfAGridInNoOrderGoToTheirOwnColumns) {
  JcampBlock columns;  // a grid of pairs: 3, 1, 2
  columns.tableForm = kTableFormXyPoints;
  columns.nPoints = columns.tableLength = 3;
  columns.xValues.reset(new float[3]{3, 1, 2});
  columns.yValues.reset(new float[3]{0, 0, 0});
  const GridPoints grid = GridPoints::of(XGrid::of(columns));
  JcampBlock spectrum;  // 1 -> 10, 3 -> 30, in falling order
  spectrum.tableForm = kTableFormXyPoints;
  spectrum.nPoints = spectrum.tableLength = 2;
  spectrum.xValues.reset(new float[2]{3, 1});
  spectrum.yValues.reset(new float[2]{30, 10});
  BlockPoints points;
  points.take(spectrum, XConversion());
  float dense[3];
  EXPECT_EQ(interpolateOnto(points, grid, ColumnOut{dense, 3}), 3u);
  EXPECT_EQ(std::vector<float>(dense, dense + 3), (std::vector<float>{30, 10, 20}));
}

}  // namespace
}  // namespace jcamp
