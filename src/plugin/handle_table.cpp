#include "plugin/handle_table.h"

#include <algorithm>
#include <functional>
#include <new>
#include <queue>
#include <utility>
#include <vector>

#include "plugin/data_importer.h"
#include "plugin/published_matrix.h"

namespace jcamp {

Registration::Registration() = default;

Registration::~Registration() = default;

void Registration::publish(std::shared_ptr<const PublishedMatrix> matrix) {
  if (matrix.get() == published.load(std::memory_order_relaxed)) return;
  retract();
  publishedOwner_ = std::move(matrix);
  published.store(publishedOwner_.get(), std::memory_order_seq_cst);
}

void Registration::retract() {
  if (publishedOwner_ == nullptr) return;
  // A reader enters (readers) before it looks at published: once published is
  // null and no reader is inside, none can still hold the old matrix.
  published.store(nullptr, std::memory_order_seq_cst);
  while (readers.load(std::memory_order_seq_cst) != 0) std::this_thread::yield();
  publishedOwner_.reset();
}

namespace {

// The registrations the index may point at, kept for reuse: an index read
// without a lock may hand out a pointer to one that was closed meanwhile.
class RegistrationPool {
 public:
  Registration* take() {
    std::lock_guard<std::mutex> hold(lock_);
    if (!free_.empty()) {
      Registration* registration = free_.back();
      free_.pop_back();
      return registration;
    }
    owned_.push_back(std::make_unique<Registration>());
    return owned_.back().get();
  }

  // The registration's last user let go: its object goes, the registration stays.
  void put(Registration* registration) noexcept {
    registration->retract();
    registration->object.reset();
    std::lock_guard<std::mutex> hold(lock_);
    free_.push_back(registration);  // room reserved when it was taken
  }

  void reserve() {
    std::lock_guard<std::mutex> hold(lock_);
    free_.reserve(owned_.size() + 1);
  }

  // Module unload: the registrations not in use go (one a call still holds
  // stays, and comes back when the call lets go).
  void releaseFree() {
    std::lock_guard<std::mutex> hold(lock_);
    std::sort(free_.begin(), free_.end());
    const auto isFree = [this](const std::unique_ptr<Registration>& kept) {
      return std::binary_search(free_.begin(), free_.end(), kept.get());
    };
    owned_.erase(std::remove_if(owned_.begin(), owned_.end(), isFree), owned_.end());
    free_ = std::vector<Registration*>();
    if (owned_.empty()) owned_ = std::vector<std::unique_ptr<Registration>>();
  }

 private:
  std::mutex lock_;
  std::vector<std::unique_ptr<Registration>> owned_;
  std::vector<Registration*> free_;
};

RegistrationPool& pool() {
  alignas(RegistrationPool) static unsigned char storage[sizeof(RegistrationPool)];
  static RegistrationPool* const instance = new (storage) RegistrationPool;
  return *instance;
}

// Handle to registration, read without a lock: chunks of slots that never
// move once made. Handles beyond it are served by the locked way only.
class FastIndex {
 public:
  static constexpr uint32_t kChunkSize = 1024;
  static constexpr uint32_t kChunks = 4096;

  Registration* find(uint32_t handle) const {
    const uint32_t chunk = handle / kChunkSize;
    if (chunk >= kChunks) return nullptr;
    const std::atomic<Registration*>* slots = chunks_[chunk].load(std::memory_order_acquire);
    return slots != nullptr ? slots[handle % kChunkSize].load(std::memory_order_acquire) : nullptr;
  }

  // Under the table's lock. Without room for a chunk the handle is left out:
  // it is still served, the locked way.
  void set(uint32_t handle, Registration* registration) {
    const uint32_t chunk = handle / kChunkSize;
    if (chunk >= kChunks) return;
    std::atomic<Registration*>* slots = chunks_[chunk].load(std::memory_order_relaxed);
    if (slots == nullptr) {
      if (registration == nullptr) return;
      slots = new (std::nothrow) std::atomic<Registration*>[kChunkSize]();
      if (slots == nullptr) return;
      chunks_[chunk].store(slots, std::memory_order_release);
    }
    slots[handle % kChunkSize].store(registration, std::memory_order_release);
  }

  // Module unload, when no call runs.
  void clear() {
    for (auto& chunk : chunks_) delete[] chunk.exchange(nullptr);
  }

 private:
  std::atomic<std::atomic<Registration*>*> chunks_[kChunks] = {};
};

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
    slots_[handle].registration = registration;
    registration->liveHandle.store(handle, std::memory_order_seq_cst);
    index_.set(handle, registration.get());
    return handle;
  }

  RegistrationRef find(int32_t type, uint32_t handle, bool release) {
    std::lock_guard<std::mutex> guard(lock_);
    if (handle == 0 || handle >= slots_.size()) throw CErrCodeException(JCAMP_INVALID_HANDLE);
    HandleEntry& slot = slots_[handle];
    if (slot.type == kHandleTypeFree || slot.type != type) {
      throw CErrCodeException(JCAMP_INVALID_HANDLE);
    }
    if (slot.registration == nullptr || slot.registration->object == nullptr) {
      throw CErrCodeException(JCAMP_NO_OBJECT);
    }
    if (!release) return slot.registration;
    freed_.push(handle);  // may throw: before the slot changes
    RegistrationRef taken = std::move(slot.registration);
    slot = HandleEntry{};
    index_.set(handle, nullptr);
    taken->liveHandle.store(0, std::memory_order_seq_cst);
    return taken;
  }

  Registration* findFast(uint32_t handle) const { return index_.find(handle); }

  // The slots leave the table under the lock; the objects are deleted after it.
  std::vector<HandleEntry> takeAll() {
    std::lock_guard<std::mutex> guard(lock_);
    std::vector<HandleEntry> taken;
    taken.swap(slots_);
    for (HandleEntry& slot : taken) {
      if (slot.registration != nullptr) slot.registration->liveHandle.store(0);
    }
    index_.clear();
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
  FastIndex index_;
};

HandleTable& table() {
  // Built in static storage and never destroyed: the module's unload empties it
  // whenever it runs, also after static destructors. Emptied, it holds no heap memory.
  alignas(HandleTable) static unsigned char storage[sizeof(HandleTable)];
  static HandleTable* const instance = new (storage) HandleTable;
  return *instance;
}

}  // namespace

PublishedRead::PublishedRead(uint32_t handle) {
  Registration* registration = table().findFast(handle);
  if (registration == nullptr) return;
  // Entered before anything else is looked at: while a reader is inside,
  // the published matrix it may take stays.
  registration->readers.fetch_add(1, std::memory_order_seq_cst);
  registration_ = registration;
  if (registration->liveHandle.load(std::memory_order_seq_cst) != handle) return;
  if (registration->calledFromInside()) {
    busy_ = true;
    return;
  }
  matrix_ = registration->published.load(std::memory_order_seq_cst);
}

PublishedRead::~PublishedRead() {
  if (registration_ != nullptr) registration_->readers.fetch_sub(1, std::memory_order_release);
}

uint32_t registerObject(int32_t type, std::unique_ptr<DataImporter> object) {
  pool().reserve();
  Registration* registration = pool().take();
  registration->object = std::move(object);
  const RegistrationRef shared(registration, [](Registration* done) { pool().put(done); });
  return table().add(type, shared);
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
    pool().releaseFree();
  } catch (...) {
    // Unloading must not throw; whatever is left is the process's to reclaim.
  }
}

uint32_t handleSlotCount() {
  return table().count();
}

}  // namespace jcamp
