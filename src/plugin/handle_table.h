// Process-wide registry that maps the host's 32-bit handles to importers.
//
// Safe from any thread: one lock guards the table. A lookup hands out shared
// ownership of the registration, so a handle closed by one thread while
// another is inside a call on it stays alive until that call returns; the
// registration's own lock serialises the calls made on one handle.
//
// The value queries take a faster way (PublishedRead): an index that is read
// without the table's lock leads to the registration, whose published matrix
// is read without the handle's lock. Registrations are therefore kept and
// reused rather than freed, so that a stale pointer from the index still
// points at a registration, which tells whether it still stands for the handle.
#pragma once

#include <atomic>
#include <cstdint>
#include <exception>
#include <memory>
#include <mutex>
#include <thread>

#include "jcampimport.h"

namespace jcamp {

class DataImporter;
class PublishedMatrix;

// The registry's own failure: the table cannot grow any more. openHandleUDI
// answers it, as every other failure to open, with JCAMP_NO_OBJECT.
constexpr int32_t kRegistryFull = 3;

constexpr int32_t kHandleTypeFree = 0;
constexpr int32_t kHandleTypeImporter = 1;

// The one exception type of the module: thrown by the registry only and turned
// into a result code by every export. Its codes are JCAMP_NO_OBJECT,
// JCAMP_INVALID_HANDLE and kRegistryFull.
class CErrCodeException : public std::exception {
 public:
  explicit CErrCodeException(int32_t code) : code_(code) {}
  int32_t code() const { return code_; }
  const char* what() const noexcept override { return "handle registry error"; }

 private:
  int32_t code_;
};

// What a live slot holds: the object (owned; null only where a caller
// registered none), the lock that every call on the handle takes, the thread
// inside a call while it holds the lock, and the matrix published for
// readers without the lock.
struct Registration {
  Registration();
  ~Registration();
  Registration(const Registration&) = delete;
  Registration& operator=(const Registration&) = delete;

  // Whether the calling thread is inside a call on this handle already: the
  // call's message-box handler or dialog has called back into the handle.
  bool calledFromInside() const {
    // Most of the time no call is inside: then the thread's own id is not needed.
    const std::thread::id inside = caller.load(std::memory_order_relaxed);
    return inside != std::thread::id() && inside == std::this_thread::get_id();
  }

  // Under the handle's lock: makes matrix the one readers without the lock see.
  void publish(std::shared_ptr<const PublishedMatrix> matrix);
  // Under the handle's lock, before the object changes: readers without the
  // lock take the locked way from now on, and the matrix they were reading
  // goes once the last of them is done.
  void retract();

  std::unique_ptr<DataImporter> object;
  std::mutex calls;
  std::atomic<std::thread::id> caller{};
  // The handle this registration stands for; 0 while it stands for none.
  std::atomic<uint32_t> liveHandle{0};
  // Readers without the lock inside this registration now.
  std::atomic<uint32_t> readers{0};
  std::atomic<const PublishedMatrix*> published{nullptr};

 private:
  std::shared_ptr<const PublishedMatrix> publishedOwner_;
};

// A read of a handle's published matrix without the table's or the handle's
// lock. matrix() is null when this way cannot answer (the handle is unknown,
// closed, or changed since its matrix was last published): the caller then
// takes the locked way. The matrix stays valid while the read lives.
class PublishedRead {
 public:
  explicit PublishedRead(uint32_t handle);
  ~PublishedRead();
  PublishedRead(const PublishedRead&) = delete;
  PublishedRead& operator=(const PublishedRead&) = delete;

  const PublishedMatrix* matrix() const { return matrix_; }
  // The calling thread is inside a call on this very handle.
  bool busy() const { return busy_; }

 private:
  Registration* registration_ = nullptr;
  const PublishedMatrix* matrix_ = nullptr;
  bool busy_ = false;
};

// One call on a handle: holds its lock and marks the calling thread as inside it.
class HandleCall {
 public:
  explicit HandleCall(Registration& registration) : registration_(registration) {
    registration_.calls.lock();
    registration_.caller.store(std::this_thread::get_id(), std::memory_order_relaxed);
  }
  ~HandleCall() {
    registration_.caller.store(std::thread::id(), std::memory_order_relaxed);
    registration_.calls.unlock();
  }
  HandleCall(const HandleCall&) = delete;
  HandleCall& operator=(const HandleCall&) = delete;

 private:
  Registration& registration_;
};
using RegistrationRef = std::shared_ptr<Registration>;

// The table's slot count starts at 50 and grows by 100, so that handle numbers
// run as hosts know them (1..49, then 50, 51, ...; the lowest free number is
// reused first). The storage behind it grows geometrically and free numbers
// are kept in a heap: opening and closing stay cheap with any number of handles.
constexpr uint32_t kInitialHandleSlots = 50;
constexpr uint32_t kHandleSlotGrowth = 100;

// Takes ownership and returns the new handle; throws CErrCodeException(kRegistryFull)
// when the table cannot grow (the object is then deleted).
uint32_t registerObject(int32_t type, std::unique_ptr<DataImporter> object);

// Returns the registration, whose object is never null; throws
// CErrCodeException(JCAMP_INVALID_HANDLE) for a bad or free handle and
// CErrCodeException(JCAMP_NO_OBJECT) for a
// live slot without object.
RegistrationRef lookupObject(int32_t type, uint32_t handle);

// Looks the handle up as lookupObject does and frees its slot in the same
// step, so that of two threads closing one handle only one succeeds. The
// object goes when the last reference to the registration does.
RegistrationRef takeObject(int32_t type, uint32_t handle);

// Empties every slot and the table itself (module unload); each object is
// deleted once no call is using it any more.
void destroyAllHandles();

// Current number of slots, for tests and diagnostics.
uint32_t handleSlotCount();

}  // namespace jcamp
