// The same spectra written in every form and variant the bench kit's
// generator knows (scripts/generate-sets.sh), each set with its true values.
// The standard mode gives them within float rounding; the host-compatible mode
// gives them too, or refuses the file, or warns of every sample it reads
// otherwise: none reads wrongly in silence. Sets of NTUPLES pages have a truth
// row per page; the standard mode reads each page right or names it as left out.
#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include "support/library_fixture.h"
#include "support/truth.h"

namespace {

namespace fs = std::filesystem;
using testpaths::readTruth;
using testpaths::Truth;

// Float rounding of the true value, once (the standard mode) or twice (the
// host-compatible mode rounds the ordinate before it scales it).
constexpr double kStandardTolerance = 1.2e-7;
constexpr double kHostTolerance = 2.5e-7;
constexpr double kAbscissaBits = 4 * std::numeric_limits<double>::epsilon();

// truth.tsv of NTUPLES pages: a header, then per page its block's title, the
// page, its symbol, n, its n X values and its n true values.
struct PageTruth {
  std::string title;
  std::string page;
  std::vector<double> xs;
  std::vector<double> ys;
};

bool holdsPages(const std::string& set) {
  std::ifstream in(fs::u8path(set) / "truth.tsv");
  std::string header;
  std::getline(in, header);
  return header.rfind("title\tpage\t", 0) == 0;
}

std::vector<PageTruth> readPageTruth(const std::string& set) {
  std::vector<PageTruth> pages;
  std::ifstream in(fs::u8path(set) / "truth.tsv");
  std::string line;
  std::getline(in, line);
  while (std::getline(in, line)) {
    std::istringstream fields(line);
    PageTruth page;
    std::string symbol;
    size_t n = 0;
    std::getline(fields, page.title, '\t');
    std::getline(fields, page.page, '\t');
    std::getline(fields, symbol, '\t');
    fields >> n;
    page.xs.resize(n);
    page.ys.resize(n);
    for (double& x : page.xs) fields >> x;
    for (double& y : page.ys) fields >> y;
    pages.push_back(page);
  }
  return pages;
}

class GeneratedSetsTest : public LibraryTest {
 protected:
  // A handle with the set's files (or the one file) added under mode and
  // imported; false when one is refused.
  bool importSet(const std::string& set, int32_t mode, uint32_t& handle) {
    handle = openHandle();
    EXPECT_EQ(lib().setReadingMode(handle, mode), JCAMP_OK);
    const bool one = fs::is_regular_file(fs::u8path(set));
    for (const std::string& file : one ? std::vector<std::string>{set} : testpaths::filesIn(set)) {
      if (lib().addFileName(handle, file.c_str()) != JCAMP_OK) return false;
    }
    EXPECT_EQ(lib().importData(handle), JCAMP_OK);
    return true;
  }
  // Whether sample s holds the spectrum within the tolerance.
  bool holds(uint32_t handle, int32_t s, const std::vector<double>& spectrum, double tolerance) {
    std::vector<float> values(spectrum.size());
    EXPECT_EQ(lib().getValues(handle, s, 0, static_cast<int32_t>(values.size()), values.data()),
              JCAMP_OK);
    for (size_t i = 0; i < spectrum.size(); ++i) {
      if (std::fabs(values[i] - spectrum[i]) > tolerance * std::fabs(spectrum[i])) return false;
    }
    return true;
  }
};

TEST_F(GeneratedSetsTest, TheStandardModeIsRightTheOtherRightRefusesOrWarns) {
  const std::vector<std::string> sets = testpaths::generatedSets();
  if (sets.empty()) GTEST_SKIP() << "no generated sets (scripts/generate-sets.sh, JCAMP_GENERATED)";
  int refused = 0;
  int warned = 0;
  for (const std::string& set : sets) {
    if (holdsPages(set)) continue;
    SCOPED_TRACE(set);
    const Truth truth = readTruth(set);
    uint32_t handle = 0;
    ASSERT_TRUE(importSet(set, JCAMP_MODE_STANDARD, handle));
    int32_t samples = sampleCount(handle);
    ASSERT_EQ(static_cast<size_t>(samples), truth.spectra.size());
    char name[256];
    for (size_t i = 0; i < truth.xs.size(); ++i) {
      ASSERT_EQ(lib().getVariableName(handle, static_cast<int32_t>(i), name), JCAMP_OK);
      // Within the last bits: valgrind works the long double of an even grid
      // in double, and a grid in micrometres has no whole steps.
      EXPECT_NEAR(std::stod(name), truth.xs[i], kAbscissaBits * std::fabs(truth.xs[i])) << name;
    }
    // Without factors the values are the file's numbers, which a warning says.
    const uint32_t warnings =
        set.find("nofactors") != std::string::npos ? uint32_t{JCAMP_WARN_NO_FACTOR} : 0u;
    for (int32_t s = 0; s < samples; ++s) {
      EXPECT_TRUE(holds(handle, s, truth.spectra[static_cast<size_t>(s)], kStandardTolerance)) << s;
      const JcampSampleInfo info = sampleInfo(handle, s);
      EXPECT_EQ(info.warnings, warnings);
      EXPECT_EQ(info.checkFlags, 0u);
    }

    if (!importSet(set, JCAMP_MODE_HOST_COMPATIBLE, handle)) {
      ++refused;
      continue;
    }
    samples = sampleCount(handle);
    for (int32_t s = 0; s < samples; ++s) {
      const JcampSampleInfo info = sampleInfo(handle, s);
      if (info.warnings != 0 || info.checkFlags != 0) {
        ++warned;
        continue;
      }
      ASSERT_LT(static_cast<size_t>(s), truth.spectra.size());
      EXPECT_TRUE(holds(handle, s, truth.spectra[static_cast<size_t>(s)], kHostTolerance))
          << "silently wrong: host-compatible sample " << s;
    }
  }
  // Peak tables, lower-case labels and blocks without ##DATATYPE= are refused;
  // decimal ordinates, CR line ends, long lines and missing factors warn.
  EXPECT_GT(refused, 0);
  EXPECT_GT(warned, 0);
}

// Each file alone: a row per page on its first page's X axis, named by its
// block's title and the page, within float rounding of the truth; the pages
// on other axes (the scans of a GC-MS run) are counted as left out. Without
// the standard mode the files are refused.
TEST_F(GeneratedSetsTest, EveryPageIsReadRightOrLeftOutWithAWord) {
  std::vector<std::string> sets = testpaths::generatedSets();
  sets.erase(std::remove_if(sets.begin(), sets.end(), [](auto& set) { return !holdsPages(set); }),
             sets.end());
  if (sets.empty()) GTEST_SKIP() << "no generated NTUPLES sets (scripts/generate-sets.sh)";
  for (const std::string& set : sets) {
    SCOPED_TRACE(set);
    const std::vector<PageTruth> truth = readPageTruth(set);
    size_t accounted = 0;
    for (const std::string& file : testpaths::filesIn(set)) {
      uint32_t handle = 0;
      ASSERT_FALSE(importSet(file, JCAMP_MODE_HOST_COMPATIBLE, handle));
      ASSERT_TRUE(importSet(file, JCAMP_MODE_STANDARD, handle));
      const int32_t samples = sampleCount(handle);
      ASSERT_GT(samples, 0);
      accounted += samples + sampleInfo(handle, 0).leftOut;
      for (int32_t s = 0; s < samples; ++s) {
        char name[256];
        ASSERT_EQ(lib().getSampleName(handle, s, name), JCAMP_OK);
        const std::string text = name;
        const size_t open = text.rfind(" [");
        ASSERT_NE(open, std::string::npos) << text;
        ASSERT_GE(sampleInfo(handle, s).page, 0);
        const auto page = std::find_if(truth.begin(), truth.end(), [&](const PageTruth& p) {
          return text == p.title + " [" + p.page + "]";
        });
        ASSERT_NE(page, truth.end()) << text;
        ASSERT_EQ(variableCount(handle), static_cast<int32_t>(page->xs.size())) << text;
        for (size_t i = 0; i < page->xs.size(); ++i) {
          ASSERT_EQ(lib().getVariableName(handle, static_cast<int32_t>(i), name), JCAMP_OK);
          EXPECT_EQ(std::stod(name), page->xs[i]) << text;
        }
        EXPECT_TRUE(holds(handle, s, page->ys, kStandardTolerance)) << text;
        EXPECT_EQ(sampleInfo(handle, s).warnings, 0u) << text;
      }
    }
    EXPECT_EQ(accounted, truth.size());
  }
}

}  // namespace
