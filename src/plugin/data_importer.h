// The abstract import interface that every handle stands for.
#pragma once

#include <cstdint>
#include <memory>

#include "jcampimport.h"

namespace jcamp {

class PublishedMatrix;

// Slots in order: destructor, importDataUI, importData, addFileName and the
// seven queries. Every operation returns a result code of the public header
// (JcampResult), JCAMP_OK on success.
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
  virtual int32_t setGrid(const JcampGrid* grid) = 0;
  // What getData, getValues and getSampleInfo read, for readers without the handle's lock.
  virtual std::shared_ptr<const PublishedMatrix> published() = 0;
};

}  // namespace jcamp
