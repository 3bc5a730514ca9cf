#ifndef TALVOR_OBJECTS_OSESSIONMANAGER_H
#define TALVOR_OBJECTS_OSESSIONMANAGER_H

#include "core/d_String.h"
#include "core/oMutex.h"
#include "core/oSingleton.h"
#include "core/oVector.h"

class d_Session;

// Keeps every session of the process and finds the session of the calling
// thread. It owns the sessions. The single-thread runtime keeps one session,
// "main", and refuses any other (3502).
class oSessionManager {
public:
    // Creates and registers the session "main" for the calling thread.
    oSessionManager();
    ~oSessionManager();
    oSessionManager(const oSessionManager &) = delete;
    oSessionManager &operator=(const oSessionManager &) = delete;

    static oSessionManager *getInstance() { return oSingleton<oSessionManager>::instance; }

    void add(const d_Session *session);
    // Forgets the session without deleting it.
    void remove(const d_Session *session);
    // The first registered session of the calling thread, or null.
    d_Session *getActiveSession();
    // Joins, removes and deletes every session of that name in turn; false when
    // one of them is the caller's own or cannot be joined (it stays registered).
    bool wait(d_String name);
    // Joins every other session's thread; sessions stay registered.
    bool waitAll();
    // Flags a forced shutdown in every session, the caller's own last.
    void sendSignal(int code);

private:
    friend class d_Session;  // registers and starts its thread under `lock`

#ifndef TALVOR_SINGLE_THREAD
    // What a waiter found when it looked for the next session to join.
    enum class Claim { None, Claimed, Busy, Own };
    Claim claimByName(const d_String &name, d_Session *&session);
    Claim claimNextOther(const oVector<d_Session *> &done, d_Session *&session);
    bool isClaimed(d_Session *session) const;
    // Joins a claimed session's thread without the lock, then gives the claim
    // back; a joined session is removed from the list when `collect` is set.
    bool joinClaimed(d_Session *session, bool collect);

    oVector<d_Session *> sessions;
    // Sessions a waiter is joining: only that waiter touches them until it
    // gives them back, so a thread is never joined, nor a session deleted, twice.
    oVector<d_Session *> claimed;
    TALVOR_MUTEX(lock);
#else
    d_Session *session;
#endif
};

#endif
