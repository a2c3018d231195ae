#include "plugin/handle_table.h"

#include <memory>

#include "plugin/data_importer.h"

namespace jcamp {
namespace {

// Plain globals: the host drives the module from one thread at a time.
uint32_t gSlotCount = 0;
HandleEntry* gSlots = nullptr;

void installSlots(HandleEntry* slots, uint32_t count) {
  delete[] gSlots;
  gSlots = slots;
  gSlotCount = count;
}

}  // namespace

uint32_t registerObject(int32_t type, DataImporter* object) {
  if (gSlotCount == 0 || gSlots == nullptr) {
    installSlots(new HandleEntry[kInitialHandleSlots], kInitialHandleSlots);
  }
  for (uint32_t i = 1; i < gSlotCount; ++i) {
    if (gSlots[i].type == kHandleTypeFree) {
      gSlots[i].type = type;
      gSlots[i].object = object;
      return i;
    }
  }
  const uint32_t oldCount = gSlotCount;
  const uint32_t newCount = oldCount + kHandleSlotGrowth;
  if (newCount <= oldCount) throw CErrCodeException(3);
  std::unique_ptr<HandleEntry[]> grown(new HandleEntry[newCount]);
  for (uint32_t i = 0; i < oldCount; ++i) {
    grown[i].type = gSlots[i].type;
    grown[i].object = gSlots[i].object;
  }
  grown[oldCount].type = type;
  grown[oldCount].object = object;
  installSlots(grown.release(), newCount);
  return oldCount;
}

DataImporter* lookupObject(int32_t type, uint32_t handle) {
  if (handle == 0 || handle >= gSlotCount) throw CErrCodeException(2);
  const HandleEntry& slot = gSlots[handle];
  if (slot.type == kHandleTypeFree || slot.type != type) throw CErrCodeException(2);
  if (slot.object == nullptr) throw CErrCodeException(1);
  return slot.object;
}

void releaseHandle(uint32_t handle) {
  if (handle == 0 || handle >= gSlotCount) return;
  gSlots[handle].type = kHandleTypeFree;
  gSlots[handle].object = nullptr;
}

void destroyAllHandles() {
  try {
    for (uint32_t i = 0; i < gSlotCount; ++i) {
      DataImporter* object = gSlots[i].object;
      gSlots[i].type = kHandleTypeFree;
      gSlots[i].object = nullptr;
      delete object;
    }
    installSlots(nullptr, 0);
  } catch (...) {
    // Unloading must not throw; whatever is left is the process's to reclaim.
  }
}

uint32_t handleSlotCount() {
  return gSlotCount;
}

}  // namespace jcamp
