// System seam: the toolkit's start lock, which guards the creation and destruction of contexts.
//
// The lock object is made lazily: a use count starts at -1, every start raises it before taking
// the lock and the object is created when the count reaches 0; every stop lowers it after
// releasing the lock and the object is closed when the count falls below 0. So the object lives
// from the first start to the last stop. On Windows it is an auto-reset event with interlocked
// counting; on Linux a mutex with an atomic count. Implemented by the system backends.
#pragma once

// Raises the use count and creates the lock object when the count reaches 0; false when the
// object does not exist afterwards (its creation failed).
bool SysStartLockUse();
// Lowers the use count and closes the lock object when the count falls below 0; a lowering
// that no use matched is ignored, so the count never drops below -1.
void SysStartLockUnuse();
// Waits without time-out until the lock is free and takes it; false when no lock object exists.
bool SysStartLockAcquire();
// Frees the lock taken by SysStartLockAcquire.
void SysStartLockRelease();
// True while the lock object exists.
bool SysStartLockIsOpen();
