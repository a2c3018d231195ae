#include "row_warnings.h"

#include <map>
#include <set>
#include <utility>

namespace {

struct Meaning {
  uint32_t bit;
  const char* words;
};

constexpr Meaning kChecks[] = {
    {JCAMP_CHECK_X, "a line's abscissa is off the table's steps"},
    {JCAMP_CHECK_Y, "a line's first ordinate fails the Y check"},
    {JCAMP_CHECK_FIRST_Y, "the first ordinate differs from ##FIRSTY="},
    {JCAMP_CHECK_COUNT, "the table holds another number of points than ##NPOINTS="},
};

constexpr Meaning kWarnings[] = {
    {JCAMP_WARN_TRUNCATED, "the input ended early or a line was cut at 127 characters"},
    {JCAMP_WARN_DECIMAL_SPLIT, "ordinates with a '.' or an exponent were split in two"},
    {JCAMP_WARN_LAST_DROPPED, "the last ordinate was taken as a check value and dropped"},
    {JCAMP_WARN_PRECISION, "ordinates or DIF sums beyond 2^24 lost digits"},
    {JCAMP_WARN_X_REVERSED, "the X axis runs the other way from the first file's"},
    {JCAMP_WARN_X_GRID, "the X values are not the first file's"},
    {JCAMP_WARN_BLOCK_MISSING, "the header counts this block, the file does not hold it"},
    {JCAMP_WARN_FILE_CHANGED, "the file changed since it was added"},
    {JCAMP_WARN_Y_UNITS, "##YUNITS= differs from the first row's"},
    {JCAMP_WARN_TEXT_BEFORE_TITLE, "what came before the first ##TITLE= was passed over"},
    {JCAMP_WARN_UNREAD_TABLE,
     "a data table of the block is left out (peak assignments, a peak table of widths, or one "
     "this mode does not read)"},
};

// Warnings that are requests of the user's, not suspicions.
constexpr uint32_t kRequested = JCAMP_WARN_RESAMPLED;

void join(std::string& text, const std::string& more) {
  text += (text.empty() ? "" : "; ") + more;
}

// "FILE: block N" of a row.
std::string rowOrigin(const JcampSampleInfo& info, const std::vector<std::string>& files) {
  const bool known = info.fileIndex >= 0 && static_cast<size_t>(info.fileIndex) < files.size();
  return (known ? files[static_cast<size_t>(info.fileIndex)] : std::string("?")) + ": block " +
         std::to_string(info.blockIndex + 1);
}

}  // namespace

std::vector<JcampSampleInfo> readRowInfo(JcampLibrary& library, uint32_t handle, int32_t samples) {
  std::vector<JcampSampleInfo> rows(static_cast<size_t>(samples > 0 ? samples : 0));
  for (int32_t s = 0; s < samples; ++s) {
    JcampSampleInfo& info = rows[static_cast<size_t>(s)];
    info.size = sizeof info;
    if (library.getSampleInfo(handle, s, &info) != JCAMP_OK) {
      info = JcampSampleInfo{};
      info.fileIndex = info.blockIndex = -1;
    }
  }
  return rows;
}

bool lacksTable(const JcampSampleInfo& info) {
  return (info.warnings & JCAMP_WARN_UNREAD_TABLE) != 0;
}

std::vector<std::string> unnamedLeftOutLines(const std::vector<JcampSampleInfo>& rows,
                                             const std::vector<std::string>& files) {
  std::map<int32_t, uint32_t> leftOut;          // per file: what the library counts
  std::map<int32_t, std::set<int32_t>> marked;  // per file: blocks whose rows say so
  for (const JcampSampleInfo& info : rows) {
    if (info.fileIndex < 0 || info.size < sizeof info) continue;
    leftOut[info.fileIndex] = info.leftOut;
    if (lacksTable(info)) marked[info.fileIndex].insert(info.blockIndex);
  }
  std::vector<std::string> lines;
  for (const auto& [file, count] : leftOut) {
    const size_t named = marked[file].size();
    if (count <= named || static_cast<size_t>(file) >= files.size()) continue;
    lines.push_back(files[static_cast<size_t>(file)] + ": " + std::to_string(count - named) +
                    " more blocks are not read (past those the header counts)");
  }
  return lines;
}

bool isSuspect(const JcampSampleInfo& info) {
  return info.checkFlags != 0 || (info.warnings & ~kRequested) != 0;
}

std::string describeSuspect(const JcampSampleInfo& info, bool hostCompatible) {
  std::string text;
  if ((info.warnings & JCAMP_WARN_NO_FACTOR) != 0) {
    join(text, hostCompatible ? "no ##XFACTOR= or ##YFACTOR=: scaled by 3.4e38"
                              : "no ##XFACTOR= or ##YFACTOR=: taken as 1");
  }
  for (const Meaning& meaning : kWarnings) {
    if ((info.warnings & meaning.bit) != 0) join(text, meaning.words);
  }
  for (const Meaning& meaning : kChecks) {
    if ((info.checkFlags & meaning.bit) != 0) join(text, meaning.words);
  }
  if (!text.empty() && info.line > 0) text += " (from line " + std::to_string(info.line) + ")";
  return text;
}

std::vector<std::string> partialCoverageLines(const std::vector<JcampSampleInfo>& rows,
                                              const std::vector<std::string>& files) {
  std::vector<std::string> lines;
  for (const JcampSampleInfo& info : rows) {
    if ((info.warnings & JCAMP_WARN_RESAMPLED) == 0 || !(info.coverage < 1.0f)) continue;
    const int percent = static_cast<int>(info.coverage * 100.0f);  // never rounds up to 100
    lines.push_back(rowOrigin(info, files) + ": resampled; fills " + std::to_string(percent) +
                    "% of the grid");
  }
  return lines;
}

std::vector<std::string> warningLines(const std::vector<JcampSampleInfo>& rows,
                                      const std::vector<std::string>& files, bool hostCompatible) {
  std::vector<std::string> lines;
  std::pair<int32_t, int32_t> last{-1, -1};
  for (const JcampSampleInfo& info : rows) {
    const std::pair<int32_t, int32_t> origin{info.fileIndex, info.blockIndex};
    if (origin == last) continue;
    last = origin;
    const std::string what = describeSuspect(info, hostCompatible);
    if (what.empty()) continue;
    lines.push_back(rowOrigin(info, files) + ": " + what);
  }
  return lines;
}
