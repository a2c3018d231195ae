// The abstract import interface that every handle stands for.
#pragma once

#include <cstdint>

#include "jcampimport.h"

namespace jcamp {

// Slots in order: destructor, importDataUI, importData, addFileName and the
// seven queries. Every operation returns a result code, 0 on success.
class DataImporter {
 public:
  virtual ~DataImporter() = default;
  virtual int32_t importDataUI() = 0;
  virtual int32_t importData() = 0;
  virtual int32_t addFileName(const char* fileName) = 0;
  virtual int32_t getNumberOfSamples(int32_t* count) = 0;
  virtual int32_t getNumberOfVariables(int32_t* count) = 0;
  virtual int32_t getVariableName(int32_t index, char* buffer) = 0;
  virtual int32_t getSampleName(int32_t index, char* buffer) = 0;
  virtual int32_t getData(int32_t sample, int32_t variable, char* buffer) = 0;
  virtual int32_t getNoOfFiles(int32_t* count) = 0;
  virtual int32_t getFileName(int32_t index, char* buffer) = 0;
  // Extensions beyond the host interface, after its slots.
  virtual int32_t setReadingMode(int32_t mode) = 0;
  virtual int32_t getValues(int32_t sample, int32_t firstVariable, int32_t count, float* out) = 0;
  virtual int32_t getSampleInfo(int32_t sample, JcampSampleInfo* info) = 0;
};

// Result codes of the importer's operations.
constexpr int32_t kResultOk = 0;
constexpr int32_t kResultNoObject = 1;
constexpr int32_t kResultInvalidHandle = 2;
constexpr int32_t kResultImportFailed = 0x1000;
constexpr int32_t kResultNoFiles = 0x1001;
constexpr int32_t kResultShapeMismatch = 0x1002;
constexpr int32_t kResultNotReady = 0x1004;
constexpr int32_t kResultNamesEmpty = 0x1005;
constexpr int32_t kResultBadIndex = 0x1007;
constexpr int32_t kResultBadHeader = 0x1008;
constexpr int32_t kResultNullArgument = 0x1009;
constexpr int32_t kResultModeLocked = 0x100A;
constexpr int32_t kResultBadArgument = 0x100B;

}  // namespace jcamp
