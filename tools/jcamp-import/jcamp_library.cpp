#include "jcamp_library.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#include <limits.h>
#include <unistd.h>
#endif

namespace {

bool fileExists(const std::string& path) {
#if defined(_WIN32)
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
#else
  return access(path.c_str(), F_OK) == 0;
#endif
}

}  // namespace

JcampLibrary::~JcampLibrary() {
  unload();
}

// The build names the file the library is loaded by (on Linux its SONAME, so
// that an install without the development link works) and where the installed
// library folder lies, seen from the program's.
#if !defined(JCAMP_LIBRARY_FILE_NAME) || !defined(JCAMP_LIBRARY_DIR_FROM_PROGRAM)
#error "the build defines JCAMP_LIBRARY_FILE_NAME and JCAMP_LIBRARY_DIR_FROM_PROGRAM"
#endif

const char* JcampLibrary::defaultFileName() {
  return JCAMP_LIBRARY_FILE_NAME;
}

std::string JcampLibrary::executableDirectory() {
  std::string path;
#if defined(_WIN32)
  char buffer[MAX_PATH + 1] = {};
  const DWORD length = GetModuleFileNameA(nullptr, buffer, MAX_PATH);
  path.assign(buffer, length);
  const size_t slash = path.find_last_of("\\/");
#else
  char buffer[PATH_MAX + 1] = {};
  const ssize_t length = readlink("/proc/self/exe", buffer, PATH_MAX);
  if (length > 0) path.assign(buffer, static_cast<size_t>(length));
  const size_t slash = path.find_last_of('/');
#endif
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

void* JcampLibrary::symbol(const char* name) {
#if defined(_WIN32)
  return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(module_), name));
#else
  return dlsym(module_, name);
#endif
}

template <typename Pointer>
bool JcampLibrary::resolve(Pointer& pointer, const char* name) {
  pointer = reinterpret_cast<Pointer>(symbol(name));
  if (pointer == nullptr && error_.empty()) error_ = std::string("missing export ") + name;
  return pointer != nullptr;
}

bool JcampLibrary::load(const std::string& path) {
  unload();
  error_.clear();
#if defined(_WIN32)
  module_ = reinterpret_cast<void*>(LoadLibraryA(path.c_str()));
  if (module_ == nullptr) {
    error_ = "cannot load " + path + " (error " + std::to_string(GetLastError()) + ")";
    return false;
  }
#else
  module_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (module_ == nullptr) {
    const char* reason = dlerror();
    error_ = "cannot load " + path + (reason ? std::string(": ") + reason : std::string());
    return false;
  }
#endif
  bool ok = true;
#define JCAMP_RESOLVE_EXPORT(name) ok &= resolve(name, #name);
  JCAMP_EXPORT_NAMES(JCAMP_RESOLVE_EXPORT)
#undef JCAMP_RESOLVE_EXPORT
  if (!ok) unload();
  return ok;
}

bool JcampLibrary::loadForProgram(const std::string& chosenPath) {
  if (!chosenPath.empty()) return load(chosenPath);
  const std::string folder = executableDirectory();
  const std::string installed = folder + JCAMP_LIBRARY_DIR_FROM_PROGRAM;
  for (const std::string& candidate : {folder, installed}) {
    if (fileExists(candidate + defaultFileName())) return load(candidate + defaultFileName());
  }
  error_ = std::string("cannot load ") + defaultFileName() + ": it is neither in " + folder +
           " nor in " + installed;
  return false;
}

void JcampLibrary::forgetExports() {
#define JCAMP_FORGET_EXPORT(name) name = nullptr;
  JCAMP_EXPORT_NAMES(JCAMP_FORGET_EXPORT)
#undef JCAMP_FORGET_EXPORT
}

void JcampLibrary::unload() {
  forgetExports();
  if (module_ == nullptr) return;
#if defined(_WIN32)
  FreeLibrary(static_cast<HMODULE>(module_));
#else
  dlclose(module_);
#endif
  module_ = nullptr;
}

const char* describeResult(int32_t result) {
  switch (result) {
    case JCAMP_OK:
      return "success";
    case JCAMP_NO_OBJECT:
      return "internal failure of the library";
    case JCAMP_INVALID_HANDLE:
      return "invalid import handle";
    case JCAMP_IMPORT_FAILED:
      return "the import was stopped after a file could not be read";
    case JCAMP_NO_FILES:
      return "no files to import";
    case JCAMP_SHAPE_MISMATCH:
      return "the number of X points or of concentrations differs from the first file's";
    case JCAMP_NOT_READY:
      return "nothing imported yet";
    case JCAMP_NAMES_EMPTY:
      return "no names";
    case JCAMP_BAD_INDEX:
      return "index out of range";
    case JCAMP_BAD_HEADER:
      return "the file's JCAMP-DX header cannot be read";
    case JCAMP_NULL_ARGUMENT:
      return "missing file name or buffer";
    case JCAMP_MODE_LOCKED:
      return "the reading mode is chosen before the first file";
    case JCAMP_BAD_ARGUMENT:
      return "an argument the library does not know";
    case JCAMP_BUSY:
      return "the handle is busy with a call that has not returned";
    default:
      return "unknown result code";
  }
}
