// One object per thread that asks for it, made on the thread's first Get and destroyed when
// the thread ends. It stands in for a thread_local object with a destructor, which MinGW's
// emulated thread-local storage cannot hold: it frees the thread's storage before it runs the
// destructors of what lives there. The slot itself holds no more than a key, so a global slot
// needs no destruction at exit.
#pragma once

#include <new>

// The untyped slot: a key under which each thread keeps one pointer, and the operation that
// destroys what a thread left when it ends.
class ThreadSlotKey {
 public:
  using Destroy = void (*)(void* object);

  explicit ThreadSlotKey(Destroy destroy);
  ThreadSlotKey(const ThreadSlotKey&) = delete;
  ThreadSlotKey& operator=(const ThreadSlotKey&) = delete;

  // This thread's pointer; null before the first Set.
  void* Get() const;
  // Keeps `object` as this thread's pointer; false when the system refuses (the caller
  // still owns `object`).
  bool Set(void* object) const;

 private:
  bool ready_ = false;
  unsigned key_ = 0;
};

template <typename T>
class ThreadSlot {
 public:
  ThreadSlot() : key_(&DestroyObject) {}

  // This thread's object, made on the first call; null when memory runs out.
  T* Get() {
    T* object = static_cast<T*>(key_.Get());
    if (object != nullptr) return object;
    object = new (std::nothrow) T();
    if (object != nullptr && !key_.Set(object)) {
      delete object;
      object = nullptr;
    }
    return object;
  }

 private:
  static void DestroyObject(void* object) { delete static_cast<T*>(object); }

  ThreadSlotKey key_;
};
