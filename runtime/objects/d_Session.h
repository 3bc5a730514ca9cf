#ifndef TALVOR_OBJECTS_D_SESSION_H
#define TALVOR_OBJECTS_D_SESSION_H

#include <atomic>
#include <cstdint>

#include "core/d_String.h"
#include "core/oArray.h"
#include "core/oThread.h"

class d_Transaction;

// A line of work of the application: a named thread with its own stack of
// transactions. The session manager finds the session of the calling thread,
// which is how the runtime knows the current transaction.
class d_Session {
public:
    // The session of the calling thread ("main"); registers with the session
    // manager when one is running (the manager registers "main" itself).
    explicit d_Session(d_String name);
    // Registers, then runs function(argument) on a new thread (detached at
    // once when detach is 1). A thread that cannot start raises 3500 with the
    // 3700 error as its detail. The single-thread runtime refuses with 3502.
    d_Session(d_String name, void *(*function)(void *), void *argument, unsigned short detach);
    // Deletes the transactions still stacked (open ones abort), then the
    // thread object; the thread itself is neither joined nor stopped.
    ~d_Session();
    d_Session(const d_Session &) = delete;
    d_Session &operator=(const d_Session &) = delete;

    void addTransaction(d_Transaction *transaction);
    void removeTransaction(d_Transaction *transaction);
    d_Transaction *getCurrent() const { return current; }

    // Joins the session's thread; false when it cannot be joined (detached, or
    // a thread the session did not start). A thread is joined once only.
    bool wait();
    // The body of a session's thread: an error escaping the function is dropped.
    static void *flow(void *session);

    // Records a pending forced shutdown; may be called from a signal handler.
    void forceShutdown(int code);
    // Raises 3801 once for a pending shutdown and clears it.
    void checkForShutdown();

    const d_String &getName() const { return name; }
    oThread *getThread() const { return thread; }
    // True when this is the session of the calling thread.
    bool isCallers() const;

private:
    void start(unsigned short detach);

    d_String name;
    oArray<d_Transaction *> transactions;
    d_Transaction *current;
    oThread *thread;
    void *(*function)(void *);
    void *argument;
    std::atomic<std::int32_t> shutdownCode;
    bool joined;
};

#endif
