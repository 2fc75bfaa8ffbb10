#include "base/thread_slot.h"

#include <pthread.h>

#include <type_traits>

// POSIX thread keys on both systems (winpthreads under MinGW): a key's destructor is handed
// the thread's pointer itself, so it never reads storage that has already been freed.
static_assert(std::is_same_v<pthread_key_t, unsigned>, "the slot keeps the key as it is");

ThreadSlotKey::ThreadSlotKey(Destroy destroy) {
  ready_ = pthread_key_create(&key_, destroy) == 0;
}

void* ThreadSlotKey::Get() const {
  return ready_ ? pthread_getspecific(key_) : nullptr;
}

bool ThreadSlotKey::Set(void* object) const {
  return ready_ && pthread_setspecific(key_, object) == 0;
}
