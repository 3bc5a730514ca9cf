#ifndef TALVOR_CORE_OMUTEX_H
#define TALVOR_CORE_OMUTEX_H

// The recursive mutex that every shared manager holds for the length of an
// operation. The single-thread runtime has no mutex at all: the macros below
// declare and take a manager's lock in the multi-thread runtime and vanish in
// the single-thread one.
#ifndef TALVOR_SINGLE_THREAD

#include <pthread.h>

class oMutex {
public:
    oMutex();
    ~oMutex();
    oMutex(const oMutex &) = delete;
    oMutex &operator=(const oMutex &) = delete;

    bool acquire();
    bool release();
    // There is no shared mode: both take the same exclusive lock.
    bool acquire_read() { return acquire(); }
    bool acquire_write() { return acquire(); }
    pthread_mutex_t *lock() const { return &mutex; }

private:
    mutable pthread_mutex_t mutex;
};

// Holds a mutex for its scope; releases only what it actually acquired.
class oMutexGuard {
public:
    explicit oMutexGuard(oMutex &mutex) : mutex(mutex), held(mutex.acquire()) {}
    ~oMutexGuard() {
        if (held) mutex.release();
    }
    oMutexGuard(const oMutexGuard &) = delete;
    oMutexGuard &operator=(const oMutexGuard &) = delete;
    bool isHeld() const { return held; }

private:
    oMutex &mutex;
    bool held;
};

#define TALVOR_MUTEX(name) oMutex name
#define TALVOR_GUARD_CONCAT2(a, b) a##b
#define TALVOR_GUARD_CONCAT(a, b) TALVOR_GUARD_CONCAT2(a, b)
#define TALVOR_LOCK(name) oMutexGuard TALVOR_GUARD_CONCAT(talvorGuard, __LINE__)(name)

#else

#define TALVOR_MUTEX(name) static_assert(true, "")
#define TALVOR_LOCK(name) static_cast<void>(0)

#endif

#endif
