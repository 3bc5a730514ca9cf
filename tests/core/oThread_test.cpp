#include <gtest/gtest.h>

#include <atomic>
#include <memory>

#include "core/d_Error.h"
#include "core/oMutex.h"
#include "core/oThread.h"

namespace {

struct Shared {
    oMutex mutex;
    std::atomic<bool> acquired{false};
    std::atomic<unsigned long> seenId{0};
};

void *takeMutex(void *argument) {
    auto *shared = static_cast<Shared *>(argument);
    shared->mutex.acquire_read();
    shared->acquired = true;
    shared->mutex.release();
    return nullptr;
}

void *recordIdentity(void *argument) {
    auto *shared = static_cast<Shared *>(argument);
    oThread here;
    EXPECT_EQ(here.getHandle(), 0u);
    shared->seenId = here.getId();
    return nullptr;
}

// Touches nothing of the test after raising its flag, so the test may end first.
void *raiseFlag(void *argument) {
    static_cast<Shared *>(argument)->acquired = true;
    return nullptr;
}

void *exitEarly(void *argument) {
    static_cast<Shared *>(argument)->acquired = true;
    oThread::exit(nullptr);
}

TEST(Mutex, IsRecursiveAndFreeOnlyAfterEveryRelease) {
    Shared shared;
    ASSERT_TRUE(shared.mutex.acquire());
    ASSERT_TRUE(shared.mutex.acquire());  // the same thread again
    oThread other(takeMutex, &shared, 0, 0);
    oThread::sleep(50);
    EXPECT_FALSE(shared.acquired);
    ASSERT_TRUE(shared.mutex.release());
    oThread::sleep(50);
    EXPECT_FALSE(shared.acquired);  // still held once
    ASSERT_TRUE(shared.mutex.release());
    ASSERT_TRUE(oThread::join(other.getHandle()));
    EXPECT_TRUE(shared.acquired);
}

TEST(Mutex, ReadLockIsExclusive) {
    Shared shared;
    unsigned long readerHandle = 0;
    {
        oMutexGuard guard(shared.mutex);
        ASSERT_TRUE(guard.isHeld());
        ASSERT_TRUE(shared.mutex.acquire_read());
        oThread reader(takeMutex, &shared, 0, 0);
        oThread::sleep(50);
        EXPECT_FALSE(shared.acquired);
        shared.mutex.release();
        oThread::sleep(20);
        EXPECT_FALSE(shared.acquired);
        readerHandle = reader.getHandle();
    }  // the guard releases its own hold here
    ASSERT_TRUE(oThread::join(readerHandle));
    EXPECT_TRUE(shared.acquired);
}

TEST(Thread, IdentityOfStartedAndDescribedThreads) {
    Shared shared;
    oThread started(recordIdentity, &shared, 0, 0);
    EXPECT_EQ(started.getId(), started.getHandle());
    ASSERT_TRUE(oThread::join(started.getHandle()));
    EXPECT_EQ(shared.seenId, started.getId());

    oThread here;
    EXPECT_EQ(here.getHandle(), 0u);
    EXPECT_EQ(here.getId(), oThread::self());
    EXPECT_NE(here.getId(), started.getId());
    // A described thread has no handle of its own to join.
    EXPECT_FALSE(oThread::join(here.getHandle()));
}

TEST(Thread, DetachedThreadCannotBeJoined) {
    Shared shared;
    oThread detached(raiseFlag, &shared, 1, 0);
    EXPECT_FALSE(oThread::join(detached.getHandle()));
    for (int i = 0; i < 200 && !shared.acquired; ++i) oThread::sleep(5);
    EXPECT_TRUE(shared.acquired);
    EXPECT_FALSE(oThread::join(detached.getHandle()));
}

TEST(Thread, ExitEndsTheThreadWithoutReturning) {
    Shared shared;
    oThread started(exitEarly, &shared, 0, 0);
    EXPECT_TRUE(oThread::join(started.getHandle()));
    EXPECT_TRUE(shared.acquired);
}

}  // namespace
