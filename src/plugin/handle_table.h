// Process-wide registry that maps the host's 32-bit handles to importers.
#pragma once

#include <cstdint>
#include <exception>

namespace jcamp {

class DataImporter;

constexpr int32_t kHandleTypeFree = 0;
constexpr int32_t kHandleTypeImporter = 1;

// The one exception type of the module: thrown by the registry only and turned
// into a result code by every export.
class CErrCodeException : public std::exception {
 public:
  explicit CErrCodeException(int32_t code) : code_(code) {}
  int32_t code() const { return code_; }
  const char* what() const noexcept override { return "handle registry error"; }

 private:
  int32_t code_;
};

// One slot of the table. The table does not own the object: closing the
// handle or unloading the module deletes it.
struct HandleEntry {
  virtual ~HandleEntry() = default;
  int32_t type = kHandleTypeFree;
  DataImporter* object = nullptr;
};

constexpr uint32_t kInitialHandleSlots = 50;
constexpr uint32_t kHandleSlotGrowth = 100;

// Returns the new handle; throws CErrCodeException(3) when the table cannot grow.
uint32_t registerObject(int32_t type, DataImporter* object);

// Returns the registered object, never null; throws CErrCodeException(2) for a
// bad or free handle and CErrCodeException(1) for a live slot without object.
DataImporter* lookupObject(int32_t type, uint32_t handle);

// Frees the slot without deleting its object.
void releaseHandle(uint32_t handle);

// Deletes every registered object and the table itself (module unload).
void destroyAllHandles();

// Current number of slots, for tests and diagnostics.
uint32_t handleSlotCount();

}  // namespace jcamp
