#include "plugin/handle_table.h"

#include <algorithm>
#include <functional>
#include <new>
#include <queue>
#include <utility>
#include <vector>

#include "plugin/data_importer.h"

namespace jcamp {

Registration::Registration(std::unique_ptr<DataImporter> registered)
    : object(std::move(registered)) {}

Registration::~Registration() = default;

namespace {

// One slot: its type tag and, while live, its registration.
struct HandleEntry {
  int32_t type = kHandleTypeFree;
  RegistrationRef registration;
};

class HandleTable {
 public:
  uint32_t add(int32_t type, RegistrationRef registration) {
    std::lock_guard<std::mutex> guard(lock_);
    const uint32_t handle = freeSlot();
    slots_[handle].type = type;
    slots_[handle].registration = std::move(registration);
    return handle;
  }

  RegistrationRef find(int32_t type, uint32_t handle, bool release) {
    std::lock_guard<std::mutex> guard(lock_);
    if (handle == 0 || handle >= slots_.size()) throw CErrCodeException(JCAMP_INVALID_HANDLE);
    HandleEntry& slot = slots_[handle];
    if (slot.type == kHandleTypeFree || slot.type != type)
      throw CErrCodeException(JCAMP_INVALID_HANDLE);
    if (slot.registration == nullptr || slot.registration->object == nullptr) {
      throw CErrCodeException(JCAMP_NO_OBJECT);
    }
    if (!release) return slot.registration;
    freed_.push(handle);  // may throw: before the slot changes
    RegistrationRef taken = std::move(slot.registration);
    slot = HandleEntry{};
    return taken;
  }

  // The slots leave the table under the lock; the objects are deleted after it.
  std::vector<HandleEntry> takeAll() {
    std::lock_guard<std::mutex> guard(lock_);
    std::vector<HandleEntry> taken;
    taken.swap(slots_);
    neverUsed_ = 0;
    freed_ = FreeNumbers();
    return taken;
  }

  uint32_t count() {
    std::lock_guard<std::mutex> guard(lock_);
    return static_cast<uint32_t>(slots_.size());
  }

 private:
  using FreeNumbers = std::priority_queue<uint32_t, std::vector<uint32_t>, std::greater<uint32_t>>;

  // The lowest free slot, growing the table when none is left. Slot 0 is never used.
  uint32_t freeSlot() {
    if (slots_.empty()) {
      slots_.resize(kInitialHandleSlots);
      neverUsed_ = 1;
    }
    // Every slot from neverUsed_ on is free, so a freed number is always the lowest.
    if (!freed_.empty()) {
      const uint32_t handle = freed_.top();
      freed_.pop();
      return handle;
    }
    if (neverUsed_ < slots_.size()) return neverUsed_++;
    const auto oldCount = static_cast<uint32_t>(slots_.size());
    const uint32_t newCount = oldCount + kHandleSlotGrowth;
    if (newCount <= oldCount) throw CErrCodeException(kRegistryFull);
    // Room doubles, so that growing by 100 slots at a time stays linear overall.
    if (newCount > slots_.capacity()) {
      slots_.reserve(std::max<size_t>(newCount, 2 * slots_.capacity()));
    }
    slots_.resize(newCount);
    return neverUsed_++;
  }

  std::mutex lock_;
  std::vector<HandleEntry> slots_;  // the slot count is its size
  uint32_t neverUsed_ = 0;          // the first slot never handed out
  FreeNumbers freed_;               // closed handles below neverUsed_, lowest on top
};

HandleTable& table() {
  // Built in static storage and never destroyed: the module's unload empties it
  // whenever it runs, also after static destructors. Emptied, it holds no heap memory.
  alignas(HandleTable) static unsigned char storage[sizeof(HandleTable)];
  static HandleTable* const instance = new (storage) HandleTable;
  return *instance;
}

}  // namespace

uint32_t registerObject(int32_t type, std::unique_ptr<DataImporter> object) {
  auto registration = std::make_shared<Registration>(std::move(object));
  return table().add(type, std::move(registration));
}

RegistrationRef lookupObject(int32_t type, uint32_t handle) {
  return table().find(type, handle, false);
}

RegistrationRef takeObject(int32_t type, uint32_t handle) {
  return table().find(type, handle, true);
}

void destroyAllHandles() {
  try {
    table().takeAll();
  } catch (...) {
    // Unloading must not throw; whatever is left is the process's to reclaim.
  }
}

uint32_t handleSlotCount() {
  return table().count();
}

}  // namespace jcamp
