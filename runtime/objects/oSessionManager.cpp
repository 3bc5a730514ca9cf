#include "objects/oSessionManager.h"

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

d_Session *oSessionManager::findByName(const d_String &name) {
    TALVOR_LOCK(lock);
    for (d_Session *session : sessions) {
        if (session->getName() == name) return session;
    }
    return nullptr;
}

bool oSessionManager::wait(d_String name) {
    // The lock is never held while joining: the joined thread may need it.
    while (d_Session *session = findByName(name)) {
        if (session->isCallers() || !session->wait()) return false;
        remove(session);
        delete session;
    }
    return true;
}

bool oSessionManager::waitAll() {
    oVector<d_Session *> snapshot;
    {
        TALVOR_LOCK(lock);
        snapshot = sessions;
    }
    for (d_Session *session : snapshot) {
        if (session->isCallers()) continue;
        if (!session->wait()) return false;
    }
    return true;
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
