// What the library says about each row (getSampleInfo), in words.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "jcamp_library.h"

// Every row's origin and diagnostics, in row order.
std::vector<JcampSampleInfo> readRowInfo(JcampLibrary& library, uint32_t handle, int32_t samples);

// Whether the row's values are suspect (a table check failed or a warning
// was raised; being resampled onto the grid asked for is no warning).
bool isSuspect(const JcampSampleInfo& info);

// What is suspect about a row, joined by "; " ("" when nothing), with the
// line where the first of it arose. A file that could not be read is not
// named here: the import's message said so.
std::string describeSuspect(const JcampSampleInfo& info, bool hostCompatible);

// Whether a row's block lacks a data table the import left out.
bool lacksTable(const JcampSampleInfo& info);

// For each file whose blocks the import left out beyond those its rows mark
// (JCAMP_WARN_UNREAD_TABLE), and that no message box named (the
// host-compatible mode shows none): "FILE: N more blocks ...".
std::vector<std::string> unnamedLeftOutLines(const std::vector<JcampSampleInfo>& rows,
                                             const std::vector<std::string>& files);

// One line per file and block whose rows are suspect: "FILE: block N: what".
std::vector<std::string> warningLines(const std::vector<JcampSampleInfo>& rows,
                                      const std::vector<std::string>& files, bool hostCompatible);

// One line per file and block resampled onto less than the whole grid:
// "FILE: block N: resampled; fills P% of the grid".
std::vector<std::string> partialCoverageLines(const std::vector<JcampSampleInfo>& rows,
                                              const std::vector<std::string>& files);
