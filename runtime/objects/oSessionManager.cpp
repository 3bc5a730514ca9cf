#include "objects/oSessionManager.h"

#include <algorithm>

#include "core/d_Error.h"
#include "core/oThread.h"
#include "objects/d_Session.h"

#ifndef TALVOR_SINGLE_THREAD

oSessionManager::oSessionManager() { add(new d_Session("main")); }

oSessionManager::~oSessionManager() {
    TALVOR_LOCK(lock);
    sessions.deleteAll();
}

void oSessionManager::add(const d_Session *session) {
    TALVOR_LOCK(lock);
    sessions.push_back(const_cast<d_Session *>(session));
}

void oSessionManager::remove(const d_Session *session) {
    TALVOR_LOCK(lock);
    sessions.destroy(const_cast<d_Session *>(session));
}

d_Session *oSessionManager::getActiveSession() {
    TALVOR_LOCK(lock);
    for (d_Session *session : sessions) {
        if (session->isCallers()) return session;
    }
    return nullptr;
}

bool oSessionManager::isClaimed(d_Session *session) const {
    return std::find(claimed.begin(), claimed.end(), session) != claimed.end();
}

oSessionManager::Claim oSessionManager::claimByName(const d_String &name, d_Session *&session) {
    TALVOR_LOCK(lock);
    bool busy = false;
    for (d_Session *candidate : sessions) {
        if (!(candidate->getName() == name)) continue;
        if (candidate->isCallers()) return Claim::Own;
        if (isClaimed(candidate)) {
            busy = true;
            continue;
        }
        claimed.push_back(candidate);
        session = candidate;
        return Claim::Claimed;
    }
    return busy ? Claim::Busy : Claim::None;
}

oSessionManager::Claim oSessionManager::claimNextOther(const oVector<d_Session *> &done, d_Session *&session) {
    TALVOR_LOCK(lock);
    for (d_Session *candidate : sessions) {
        if (candidate->isCallers() || std::find(done.begin(), done.end(), candidate) != done.end()) continue;
        // Sessions are joined in order: one another waiter holds is waited out.
        if (isClaimed(candidate)) return Claim::Busy;
        claimed.push_back(candidate);
        session = candidate;
        return Claim::Claimed;
    }
    return Claim::None;
}

bool oSessionManager::joinClaimed(d_Session *session, bool collect) {
    bool joined = session->wait();
    TALVOR_LOCK(lock);
    claimed.destroy(session);
    if (joined && collect) sessions.destroy(session);
    return joined;
}

bool oSessionManager::wait(d_String name) {
    // The lock is never held while joining: the joined thread may need it.
    for (;;) {
        d_Session *session = nullptr;
        switch (claimByName(name, session)) {
        case Claim::None:
            return true;
        case Claim::Own:
            return false;
        case Claim::Busy:
            oThread::sleep(1);  // another waiter is collecting it
            continue;
        case Claim::Claimed:
            break;
        }
        if (!joinClaimed(session, true)) return false;
        delete session;  // no longer listed, and no one else holds it
    }
}

bool oSessionManager::waitAll() {
    oVector<d_Session *> done;
    for (;;) {
        d_Session *session = nullptr;
        switch (claimNextOther(done, session)) {
        case Claim::None:
            return true;
        case Claim::Busy:
            oThread::sleep(1);
            continue;
        default:
            break;
        }
        if (!joinClaimed(session, false)) return false;
        done.push_back(session);
    }
}

void oSessionManager::sendSignal(int code) {
    TALVOR_LOCK(lock);
    d_Session *own = nullptr;
    for (d_Session *session : sessions) {
        if (session->isCallers()) {
            if (own == nullptr) own = session;
            continue;
        }
        session->forceShutdown(code);
    }
    if (own != nullptr) own->forceShutdown(code);
}

#else

oSessionManager::oSessionManager() : session(nullptr) { add(new d_Session("main")); }

oSessionManager::~oSessionManager() { delete session; }

void oSessionManager::add(const d_Session *added) {
    if (session != nullptr) throw new d_Error(d_Error_SessionSingleThread);
    session = const_cast<d_Session *>(added);
}

void oSessionManager::remove(const d_Session *removed) {
    if (session == removed) session = nullptr;
}

d_Session *oSessionManager::getActiveSession() { return session; }

bool oSessionManager::wait(d_String) { return true; }

bool oSessionManager::waitAll() { return true; }

void oSessionManager::sendSignal(int code) {
    if (session != nullptr) session->forceShutdown(code);
}

#endif
