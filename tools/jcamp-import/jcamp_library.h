// Loads the jcampimport library at run time, as a real host does, and
// resolves its exports by name.
#pragma once

#include <string>

#include "jcampimport.h"

// Every export a host resolves, in the order of the public header.
// clang-format off
#define JCAMP_EXPORT_NAMES(X) \
  X(openHandleUDI) \
  X(closeHandleUDI) \
  X(importDataUI) \
  X(importData) \
  X(addFileName) \
  X(getNumberOfSamples) \
  X(getNumberOfVariables) \
  X(getVariableName) \
  X(getSampleName) \
  X(getData) \
  X(getNoOfFiles) \
  X(getFileName) \
  X(setMessageBoxHandler) \
  X(checkFileName) \
  X(checkFileNameMode) \
  X(setReadingMode) \
  X(getValues) \
  X(getSampleInfo) \
  X(setGrid)
// clang-format on

class JcampLibrary {
 public:
  JcampLibrary() = default;
  ~JcampLibrary();
  JcampLibrary(const JcampLibrary&) = delete;
  JcampLibrary& operator=(const JcampLibrary&) = delete;

  // Loads path and resolves every export; false with error() set otherwise.
  bool load(const std::string& path);
  // Loads chosenPath when it is not empty; otherwise the library beside the
  // running program, then the one in the installed library folder (../lib).
  bool loadForProgram(const std::string& chosenPath);
  void unload();
  bool loaded() const { return module_ != nullptr; }
  const std::string& error() const { return error_; }

  // The library file name of this platform ("libjcampimport.so.0", "jcampimport.dll").
  static const char* defaultFileName();
  // The directory of the running executable, with a trailing separator.
  static std::string executableDirectory();

#define JCAMP_DECLARE_EXPORT(name) PFN_##name name = nullptr;
  JCAMP_EXPORT_NAMES(JCAMP_DECLARE_EXPORT)
#undef JCAMP_DECLARE_EXPORT

 private:
  void* symbol(const char* name);
  template <typename Pointer>
  bool resolve(Pointer& pointer, const char* name);
  void forgetExports();

  void* module_ = nullptr;
  std::string error_;
};

// An import handle of the library, closed when it goes.
class ImportHandle {
 public:
  explicit ImportHandle(JcampLibrary& library) : library_(library) {
    opened_ = library_.openHandleUDI(&handle_) == JCAMP_OK;
  }
  ~ImportHandle() {
    if (opened_) library_.closeHandleUDI(handle_);
  }
  ImportHandle(const ImportHandle&) = delete;
  ImportHandle& operator=(const ImportHandle&) = delete;
  bool opened() const { return opened_; }
  uint32_t get() const { return handle_; }

 private:
  JcampLibrary& library_;
  uint32_t handle_ = 0;
  bool opened_ = false;
};

// Words for a result code of the exports, for people reading a report.
const char* describeResult(int32_t result);
