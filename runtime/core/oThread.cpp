#include "core/oThread.h"

#include <unistd.h>

#ifndef TALVOR_SINGLE_THREAD
#include <csignal>
#include <set>

#include "core/d_Error.h"
#include "core/oMutex.h"

namespace {
// Joining a detached thread is undefined for the system call (the thread may
// already be gone), so detached handles are remembered and refused here.
oMutex detachedLock;
std::set<unsigned long> detachedHandles;

void rememberStarted(unsigned long handle, bool detached) {
    oMutexGuard guard(detachedLock);
    if (detached) {
        detachedHandles.insert(handle);
    } else {
        detachedHandles.erase(handle);  // a new thread may reuse an old handle
    }
}

bool isDetached(unsigned long handle) {
    oMutexGuard guard(detachedLock);
    return detachedHandles.count(handle) != 0;
}
}  // namespace

static_assert(sizeof(pthread_t) <= sizeof(unsigned long), "thread handles fit an unsigned long");

oThread::oThread() : handle(0), id(self()) {}

oThread::oThread(void *(*function)(void *), void *argument, unsigned short detach, unsigned long)
    : handle(0), id(0) {
    pthread_t started;
    if (pthread_create(&started, nullptr, function, argument) != 0) {
        throw new d_Error(d_Error_ThreadCreate);
    }
    handle = id = static_cast<unsigned long>(started);
    rememberStarted(handle, detach == 1);
    if (detach == 1) pthread_detach(started);
}

// Handle 0 designates no started thread (an object describing an existing
// one): the system call would dereference it, so it is refused here.
bool oThread::join(unsigned long handle) {
    if (handle == 0 || isDetached(handle)) return false;
    return pthread_join(static_cast<pthread_t>(handle), nullptr) == 0;
}

void oThread::exit(void *result) { pthread_exit(result); }

unsigned long oThread::self() { return static_cast<unsigned long>(pthread_self()); }

void oThread::kill() { pthread_kill(static_cast<pthread_t>(id), SIGTERM); }
#endif

void oThread::sleep(int milliseconds) { usleep(static_cast<useconds_t>(milliseconds) * 1000); }
