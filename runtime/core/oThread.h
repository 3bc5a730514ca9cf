#ifndef TALVOR_CORE_OTHREAD_H
#define TALVOR_CORE_OTHREAD_H

#ifndef TALVOR_SINGLE_THREAD
#include <pthread.h>
#endif

// Thin wrapper over system threads; sessions run on it. The single-thread
// runtime keeps only sleep().
class oThread {
public:
    static void sleep(int milliseconds);

#ifndef TALVOR_SINGLE_THREAD
    // Describes the calling thread: handle 0, id the caller's identity.
    oThread();
    // Starts function(argument) on a new thread (detached at once when detach
    // is 1); raises d_Error_ThreadCreate (3700) when the system refuses.
    oThread(void *(*function)(void *), void *argument, unsigned short detach, unsigned long unused);
    // The thread is left alone: neither joined, detached nor stopped.
    ~oThread() {}

    static bool join(unsigned long handle);
    [[noreturn]] static void exit(void *result);
    static unsigned long self();
    // Sends SIGTERM to this object's thread.
    void kill();

    unsigned long getHandle() const { return handle; }
    unsigned long getId() const { return id; }

private:
    unsigned long handle;
    unsigned long id;
#endif
};

#endif
