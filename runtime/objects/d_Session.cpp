#include "objects/d_Session.h"

#include <cxxabi.h>

#include "core/d_Error.h"
#include "objects/oSessionManager.h"

// Transactions are deleted by their session; without the transaction class
// linked in, none can exist and the stack is always empty.
#if __has_include("objects/d_Transaction.h")
#include "objects/d_Transaction.h"
#define TALVOR_SESSION_OWNS_TRANSACTIONS 1
#endif

d_Session::d_Session(d_String name)
    : name(name),
      transactions(64, -1),
      current(nullptr),
      thread(nullptr),
      function(nullptr),
      argument(nullptr),
      shutdownCode(0),
      joined(false) {
#ifndef TALVOR_SINGLE_THREAD
    thread = new oThread();
#endif
    oSessionManager *manager = oSessionManager::getInstance();
    if (manager != nullptr) manager->add(this);
}

d_Session::d_Session(d_String name, void *(*function)(void *), void *argument, unsigned short detach)
    : name(name),
      transactions(64, -1),
      current(nullptr),
      thread(nullptr),
      function(function),
      argument(argument),
      shutdownCode(0),
      joined(false) {
    start(detach);
}

#ifndef TALVOR_SINGLE_THREAD
void d_Session::start(unsigned short detach) {
    oSessionManager *manager = oSessionManager::getInstance();
    if (manager == nullptr) {
        thread = new oThread(flow, this, detach, 0);
        return;
    }
    // The new thread takes the same lock before it runs the function, so it
    // can only look for its session once `thread` names it.
    TALVOR_LOCK(manager->lock);
    manager->add(this);
    try {
        thread = new oThread(flow, this, detach, 0);
    } catch (d_Error *cause) {
        manager->remove(this);
        d_Error *error = new d_Error(d_Error_SessionCreate);
        *error << " <" << name << ">.";
        error->set_detail(cause);
        throw error;
    }
}
#else
void d_Session::start(unsigned short) {
    // Registering refuses every session but "main", before the function runs.
    oSessionManager *manager = oSessionManager::getInstance();
    if (manager != nullptr) manager->add(this);
    flow(this);
}
#endif

d_Session::~d_Session() {
#ifdef TALVOR_SESSION_OWNS_TRANSACTIONS
    for (unsigned long i = 0; i < transactions.getCount(); ++i) delete transactions[i];
#endif
    delete thread;
}

void d_Session::addTransaction(d_Transaction *transaction) {
    if (!transactions.insert_i(transaction, transactions.getCount())) throw new d_Error(d_Error_OutOfMemory);
    current = transaction;
}

void d_Session::removeTransaction(d_Transaction *transaction) {
    transactions.remove(transaction);
    current = transactions.last();
}

bool d_Session::wait() {
#ifndef TALVOR_SINGLE_THREAD
    // A thread the session did not start (handle 0) is not its to join.
    if (thread == nullptr || thread->getHandle() == 0) return false;
    if (!joined) joined = oThread::join(thread->getHandle());
    return joined;
#else
    return true;
#endif
}

bool d_Session::isCallers() const {
#ifndef TALVOR_SINGLE_THREAD
    return thread != nullptr && thread->getId() == oThread::self();
#else
    return true;
#endif
}

void *d_Session::flow(void *started) {
    d_Session *session = static_cast<d_Session *>(started);
#ifndef TALVOR_SINGLE_THREAD
    if (oSessionManager *manager = oSessionManager::getInstance()) {
        TALVOR_LOCK(manager->lock);  // wait until the constructor has recorded the thread
    }
#endif
    try {
        session->function(session->argument);
    } catch (d_Error *error) {
        delete error;
    } catch (abi::__forced_unwind &) {
        throw;  // a thread ending itself must unwind to its end
    } catch (...) {
    }
#ifndef TALVOR_SINGLE_THREAD
    oThread::exit(nullptr);
#endif
    return nullptr;
}

void d_Session::forceShutdown(int code) { shutdownCode = code; }

void d_Session::checkForShutdown() {
    std::int32_t code = shutdownCode.exchange(0);
    if (code == 0) return;
    d_Error *error = new d_Error(d_Error_ShutdownForced);
    *error << " (signal code=" << static_cast<unsigned long>(static_cast<long>(code)) << ").";
    throw error;
}
