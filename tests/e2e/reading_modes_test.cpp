// Files that the two reading modes read differently: what each gives, and
// what it says about the rows (getSampleInfo) and in message boxes.
#include <charconv>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "support/jdx_text.h"
#include "support/library_fixture.h"

namespace {

// A row as "name: values !flags". Values are the shortest text of each float,
// m for a missing one. Flags: warnings F factor, T truncated, D decimal split,
// L last ordinate dropped, P precision, R reversed, G grid, B block missing,
// C changed, N not read, r resampled, Y Y units, S text before the title
// skipped, U a table left out; checks x, y, f (first Y), n (point count).
std::string flagsOf(const JcampSampleInfo& info) {
  static_assert(JCAMP_WARN_UNREAD_TABLE == 1 << 13 && JCAMP_CHECK_COUNT == 1 << 3);
  std::string flags;
  for (int bit = 0; bit < 14; ++bit) {
    if (info.warnings >> bit & 1) flags += "FTDLPRGBCNrYSU"[bit];
    if (bit < 4 && (info.checkFlags >> bit & 1)) flags += "xyfn"[bit];
  }
  return flags.empty() ? "" : " !" + flags;
}

std::string textOf(float value) {
  if (std::isnan(value)) return "m";
  char text[32];
  return std::string(text, std::to_chars(text, text + sizeof text, value).ptr);
}

class ReadingModesTest : public LibraryTest {
 protected:
  // The rows of the files (texts) imported under mode, "; "-separated, after
  // "box " for every message box shown.
  std::string rowsOf(const std::vector<std::string>& texts, int32_t mode) {
    const uint32_t handle = openHandle();
    EXPECT_EQ(lib().setReadingMode(handle, mode), JCAMP_OK);
    for (const std::string& path : testpaths::writeFiles(texts)) {
      if (lib().addFileName(handle, path.c_str()) != JCAMP_OK) return "refused";
    }
    boxes_.shown = 0;
    if (lib().importData(handle) != JCAMP_OK) return "failed";
    return summary(handle);
  }
  std::string summary(uint32_t handle) {
    std::string text;
    for (int i = 0; i < boxes_.shown; ++i) text += "box ";
    const int32_t samples = sampleCount(handle);
    const int32_t variables = variableCount(handle);
    for (int32_t s = 0; s < samples; ++s) {
      char name[256] = "-";
      lib().getSampleName(handle, s, name);
      text += (s > 0 ? "; " : "") + std::string(name) + ":";
      std::vector<float> row(static_cast<size_t>(variables));
      EXPECT_EQ(lib().getValues(handle, s, 0, variables, row.data()), JCAMP_OK);
      for (const float value : row) text += " " + textOf(value);
      text += flagsOf(sampleInfo(handle, s));
    }
    return text;
  }
};

using jdxtext::link;
using jdxtext::replaced;
using jdxtext::spectrum;

// An NMR spectrum of two NTUPLES pages: real (DIF) and imaginary (AFFN)
// values, each variable with its own factor, X in Hz from 40 down to 10.
const std::string kNmrPages =
    "##TITLE=N\n##JCAMP-DX=5.01\n##DATA TYPE=NMR SPECTRUM\n##DATA CLASS=NTUPLES\n"
    "##NTUPLES=NMR SPECTRUM\n##VAR_NAME=FREQUENCY, SPECTRUM/REAL, SPECTRUM/IMAG, PAGE NUMBER\n"
    "##SYMBOL=X, R, I, N\n##VAR_DIM=4, 4, 4, 2\n##UNITS=HZ, ARBITRARY UNITS, ARBITRARY UNITS,\n"
    "##FIRST=40, 10, 40, 1\n##LAST=10, 40, 10, 2\n##FACTOR=10, 1, 2, 1\n"
    "##PAGE=N=1\n##DATA TABLE=(X++(R..R)), XYDATA\n4 10J0J0J0\n"
    "##PAGE=N=2\n##DATA TABLE=(X++(I..I)), XYDATA\n4 20 15 10 5\n"
    "##END NTUPLES=NMR SPECTRUM\n##END=\n";

// A GC-MS run of three scans, the last on other masses.
const std::string kMsPages =
    "##TITLE=M\n##DATA TYPE=MASS SPECTRUM\n##DATA CLASS=NTUPLES\n##NTUPLES=MASS SPECTRUM\n"
    "##SYMBOL=X, Y, T\n##UNITS=M/Z, RELATIVE ABUNDANCE, SECONDS\n"
    "##PAGE=T= 1\n##NPOINTS=2\n##DATA TABLE=(XY..XY), PEAKS\n50, 1; 51, 2\n"
    "##PAGE=T= 2\n##NPOINTS=2\n##DATA TABLE=(XY..XY), PEAKS\n50, 3; 51, 4\n"
    "##PAGE=T= 3\n##NPOINTS=3\n##DATA TABLE=(XY..XY), PEAKS\n50, 5; 52, 6; 53, 7\n"
    "##END NTUPLES=MASS SPECTRUM\n##END=\n";

// A block of two tables of pairs, without NTUPLES labels.
const std::string kTwoTables =
    "##TITLE=S\n##DATA TYPE=MASS SPECTRUM\n##XFACTOR=1\n##YFACTOR=1\n##FIRSTX=50\n##LASTX=51\n"
    "##NPOINTS=2\n##XYPOINTS=(XY..XY)\n50, 1; 51, 2\n##XYPOINTS=(XY..XY)\n50, 3; 51, 4\n"
    "##END=\n";

TEST_F(ReadingModesTest, EachModeReadsAndSaysWhatItDoes) {
  const std::string a = spectrum("A", "1", "4", "1 1 2 3 4");
  struct Case {
    const char* what;
    std::vector<std::string> files;
    std::string host;
    std::string standard;
  };
  const Case cases[] = {
      {"plain", {a}, "A: 1 2 3 4", "A: 1 2 3 4"},
      {"decimal ordinates",
       {spectrum("A", "1", "4", "1 1.5 2.5 3.5 4.5")},
       "A: 1 5 2 5 !Dn",
       "A: 1.5 2.5 3.5 4.5"},
      {"the last ordinate in DIF form",
       {spectrum("A", "1", "4", "1 1 2\n3 3J")},
       "A: 1 2 3 m !Ln",
       "A: 1 2 3 4"},
      {"a whole number past 32 bits",
       {spectrum("A", "1", "4", "1 2147483648 2 3 4")},
       "A: 0 2 3 4 !fP",
       "A: 2147483648 2 3 4"},
      // E without a sign is SQZ +5, also right after a '.': 52 is the check value.
      {"SQZ E after a decimal abscissa",
       {replaced(spectrum("A", "1", "4", "1.0E0JJ\n3.0E2E3"), "=1.0E0JJ\n", "=50\n")},
       "A: 50 51 52 53",
       "A: 50 51 52 53"},
      // The standard mode passes over what comes before the first title, and
      // says so on the file's first row.
      {"text before the title",
       {"\n  \nExported by X\n##title= B\n" + a.substr(10)},
       "refused",
       "B: 1 2 3 4 !S"},
      {"a byte-order mark", {"\xEF\xBB\xBF" + a}, "box -: m m m m !N", "A: 1 2 3 4 !S"},
      {"no title", {"1 1 2 3 4\n"}, "refused", "refused"},
      {"no factors",
       {replaced(replaced(a, "##XFACTOR=1\n", ""), "##YFACTOR=1\n", "")},
       "A: 3.4e+38 inf inf inf !Fx",
       "A: 1 2 3 4 !F"},
      {"a header line of 200 characters",
       {spectrum("A", "1", "4", "1 1 2 3 4", "##ORIGIN=" + std::string(200, 'o') + "\n")},
       "A: 0 0 0 0 !T",
       "A: 1 2 3 4"},
      // The whole file is one line, cut: the title runs on to the 127th character.
      {"CR line ends",
       {replaced(a, "\n", "\r")},
       replaced(a, "\n", "\r").substr(8, 119) + ": 0 0 0 0 !T",
       "A: 1 2 3 4"},
      // Against the first file's first block: reversed, another grid.
      {"a reversed X axis",
       {link(2, a + spectrum("B", "4", "1", "4 4 3 2 1"))},
       "A: 1 2 3 4; B: 4 3 2 1 !R",
       "A: 1 2 3 4; B: 1 2 3 4"},
      {"another grid",
       {a, spectrum("B", "10", "40", "10 5 6 7 8")},
       "A: 1 2 3 4; B: 5 6 7 8 !G",
       "box A: 1 2 3 4"},
      {"half a step off",
       {a, spectrum("B", "1.4", "4.4", "1.4 5 6 7 8")},
       "A: 1 2 3 4; B: 5 6 7 8",
       "A: 1 2 3 4; B: 5 6 7 8"},
      // Rows for the blocks a file holds, named without shifting.
      {"a block counted but not present",
       {link(3, a + spectrum("", "1", "4", "1 5 6 7 8"))},
       "A: 1 2 3 4; -: 5 6 7 8; -: 0 0 0 0 !B",
       "A: 1 2 3 4; f0.jdx block 2: 5 6 7 8"},
      // Pages are rows named by their block's title and the page; a page off
      // the first one's X axis is left out with a message.
      {"NTUPLES pages", {kNmrPages}, "refused", "N [N=1]: 10 20 30 40; N [N=2]: 40 30 20 10"},
      {"NTUPLES pages of peaks", {kMsPages}, "refused", "box M [T=1]: 1 2; M [T=2]: 3 4"},
      {"a block of two tables", {kTwoTables}, "S: 3 4 !fU", "S [N=1]: 1 2; S [N=2]: 3 4"},
      // A block whose table neither mode reads: its row reads 0 in the one,
      // it is named in the message box in the other.
      {"peak assignments",
       {link(2, a + "##TITLE=P\n##DATA TYPE=INFRARED PEAK ASSIGNMENTS\n"
                    "##PEAK ASSIGNMENTS=(XYA)\n(1, 2, <a>)\n##END=\n")},
       "A: 1 2 3 4; P: 0 0 0 0 !GU",
       "box A: 1 2 3 4"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(rowsOf(c.files, JCAMP_MODE_HOST_COMPATIBLE), c.host);
    EXPECT_EQ(rowsOf(c.files, JCAMP_MODE_STANDARD), c.standard);
  }
}

// Files that vanish or change between addFileName and importData. The
// host-compatible mode keeps the rows counted when the files were added (and
// the names shift); the standard mode makes the rows of the blocks each file
// now holds.
TEST_F(ReadingModesTest, AFileThatChangedOrVanishedIsNamed) {
  const std::string a = spectrum("A", "1", "4", "1 1 2 3 4");
  for (const int32_t mode : {JCAMP_MODE_HOST_COMPATIBLE, JCAMP_MODE_STANDARD}) {
    SCOPED_TRACE(mode);
    const std::string vanishing = testpaths::writeFile(testpaths::scratchDir() + "/v.jdx", a);
    const std::string changing = testpaths::writeFile(testpaths::scratchDir() + "/c.jdx", a);
    // Written long ago, as most files are: their stamps tell that they changed.
    std::filesystem::last_write_time(
        changing, std::filesystem::last_write_time(changing) - std::chrono::hours(1));
    const uint32_t handle = openHandle();
    ASSERT_EQ(lib().setReadingMode(handle, mode), JCAMP_OK);
    ASSERT_EQ(lib().addFileName(handle, vanishing.c_str()), JCAMP_OK);
    ASSERT_EQ(lib().addFileName(handle, changing.c_str()), JCAMP_OK);
    std::remove(vanishing.c_str());
    testpaths::writeFile(changing, link(2, a + a));
    boxes_.shown = 0;
    ASSERT_EQ(lib().importData(handle), JCAMP_OK);
    const std::string rows = mode == JCAMP_MODE_HOST_COMPATIBLE
                                 ? "box A: m m m m !CN; A: 1 2 3 4 !C"
                                 : "box A: 1 2 3 4 !C; A: 1 2 3 4 !C";
    EXPECT_EQ(summary(handle), rows);
    // Nothing changes between a second import and the first.
    boxes_.shown = 0;
    ASSERT_EQ(lib().importData(handle), JCAMP_OK);
    EXPECT_EQ(summary(handle), rows);
  }
}

}  // namespace
