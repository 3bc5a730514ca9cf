#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "core/d_Error.h"
#include "core/oThread.h"
#include "objects/d_Session.h"
#include "objects/oSessionManager.h"

namespace {
struct Outcome {
    long kind = 0;
    std::string text;
};

template <class Operation>
Outcome outcomeOf(Operation operation) {
    Outcome outcome;
    try {
        operation();
    } catch (d_Error *error) {
        outcome.kind = error->get_kind();
        outcome.text = error->what();
        delete error;
    }
    return outcome;
}

std::atomic<int> finished(0);

void *sleepThenCount(void *milliseconds) {
    oThread::sleep(static_cast<int>(reinterpret_cast<std::intptr_t>(milliseconds)));
    ++finished;
    return nullptr;
}

// Records whether the thread found its own session when it started.
void *findOwnSession(void *found) {
    d_Session *active = oSessionManager::getInstance()->getActiveSession();
    *static_cast<d_Session **>(found) = active;
    return nullptr;
}

void *throwError(void *) { throw new d_Error(d_Error_QuerySyntax); }
void *throwOther(void *) { throw 42; }
}  // namespace

class SessionTest : public ::testing::Test {
protected:
    oSessionManager *manager = nullptr;
    void SetUp() override {
        manager = oSingleton<oSessionManager>::start();
        finished = 0;
    }
    void TearDown() override { oSingleton<oSessionManager>::shutdown(); }
};

TEST_F(SessionTest, TheStartingThreadIsMainAndOtherThreadsHaveNone) {
    d_Session *main = manager->getActiveSession();
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(main->getName(), "main");
    d_Session *elsewhere = main;
    std::thread([&] { elsewhere = manager->getActiveSession(); }).join();
    EXPECT_EQ(elsewhere, nullptr);
}

TEST_F(SessionTest, EverySessionThreadFindsItsOwnSessionFromItsFirstStep) {
    const int count = 16;
    d_Session *found[count] = {};
    d_Session *created[count];
    for (int i = 0; i < count; ++i) created[i] = new d_Session("finder", findOwnSession, &found[i], 0);
    EXPECT_TRUE(manager->wait("finder"));
    for (int i = 0; i < count; ++i) EXPECT_EQ(found[i], created[i]) << i;
}

TEST_F(SessionTest, WaitingForANameCollectsEverySessionOfThatName) {
    new d_Session("writer", sleepThenCount, reinterpret_cast<void *>(30), 0);
    new d_Session("writer", sleepThenCount, reinterpret_cast<void *>(60), 0);
    new d_Session("reader", sleepThenCount, reinterpret_cast<void *>(1), 0);
    EXPECT_TRUE(manager->wait("writer"));
    EXPECT_GE(finished.load(), 2);
    EXPECT_TRUE(manager->wait("writer"));  // both were removed: nothing left to wait for
    EXPECT_TRUE(manager->waitAll());
    EXPECT_TRUE(manager->waitAll());  // threads already joined are not joined again
    EXPECT_EQ(finished.load(), 3);
    EXPECT_TRUE(manager->wait("reader"));
}

TEST_F(SessionTest, ACallerCannotWaitForItsOwnSession) { EXPECT_FALSE(manager->wait("main")); }

TEST_F(SessionTest, ADetachedSessionCannotBeWaitedForAndStaysRegistered) {
    new d_Session("detached", sleepThenCount, reinterpret_cast<void *>(1), 1);
    while (finished.load() == 0) oThread::sleep(1);
    oThread::sleep(20);  // let the thread leave the session's code
    EXPECT_FALSE(manager->wait("detached"));
    EXPECT_FALSE(manager->wait("detached"));
    EXPECT_FALSE(manager->waitAll());
}

TEST_F(SessionTest, ErrorsEscapingASessionFunctionAreDropped) {
    new d_Session("failing", throwError, nullptr, 0);
    new d_Session("failing", throwOther, nullptr, 0);
    EXPECT_TRUE(manager->wait("failing"));
}

TEST_F(SessionTest, ASignalFlagsEverySessionAndEachRaisesItOnce) {
    d_Session *main = manager->getActiveSession();
    std::atomic<long> seenKind(0);
    struct Context {
        std::atomic<long> *seen;
        std::atomic<bool> go;
    } context{&seenKind, {false}};
    auto waitForSignal = [](void *raw) -> void * {
        Context *context = static_cast<Context *>(raw);
        while (!context->go.load()) oThread::sleep(1);
        try {
            oSessionManager::getInstance()->getActiveSession()->checkForShutdown();
        } catch (d_Error *error) {
            *context->seen = error->get_kind();
            delete error;
        }
        return nullptr;
    };
    new d_Session("worker", waitForSignal, &context, 0);
    // A thread without a session sends it and raises nothing itself.
    Outcome sender = outcomeOf([&] { std::thread([&] { manager->sendSignal(d_Error_SignalInt); }).join(); });
    EXPECT_EQ(sender.kind, 0);
    context.go = true;
    EXPECT_TRUE(manager->wait("worker"));
    EXPECT_EQ(seenKind.load(), d_Error_ShutdownForced);

    Outcome first = outcomeOf([&] { main->checkForShutdown(); });
    EXPECT_EQ(first.kind, d_Error_ShutdownForced);
    EXPECT_EQ(first.text, "Shutdown forced due to catched signal (signal code=5004).");
    EXPECT_EQ(outcomeOf([&] { main->checkForShutdown(); }).kind, 0);
}

TEST_F(SessionTest, TheTransactionStackFollowsBeginAndClose) {
    d_Session *main = manager->getActiveSession();
    int first, second;
    d_Transaction *a = reinterpret_cast<d_Transaction *>(&first);
    d_Transaction *b = reinterpret_cast<d_Transaction *>(&second);
    EXPECT_EQ(main->getCurrent(), nullptr);
    main->addTransaction(a);
    main->addTransaction(b);
    EXPECT_EQ(main->getCurrent(), b);
    main->removeTransaction(a);
    EXPECT_EQ(main->getCurrent(), b);
    main->removeTransaction(b);
    EXPECT_EQ(main->getCurrent(), nullptr);
    main->removeTransaction(b);  // absent: nothing happens
    EXPECT_EQ(main->getCurrent(), nullptr);
}

// Several threads wait at once for the same sessions by name while the main
// thread waits for them all: each thread is joined once and each session
// deleted once, and every waiter returns only when the sessions have ended.
TEST_F(SessionTest, ConcurrentWaitersShareTheSessionsTheyWaitFor) {
    const int rounds = 5;
    const int sessionsPerRound = 6;
    const int waiterCount = 4;
    for (int round = 0; round < rounds; ++round) {
        finished = 0;
        for (int i = 0; i < sessionsPerRound; ++i) {
            new d_Session("shared", sleepThenCount, reinterpret_cast<void *>(static_cast<std::intptr_t>(1 + i % 3)), 0);
        }
        std::atomic<int> failedWaits(0);
        std::atomic<int> earlyReturns(0);
        std::vector<std::thread> waiters;
        for (int i = 0; i < waiterCount; ++i) {
            waiters.emplace_back([&] {
                if (!manager->wait("shared")) ++failedWaits;
                if (finished.load() != sessionsPerRound) ++earlyReturns;
            });
        }
        // Only the main thread can wait for all: from a thread without a
        // session, "main" would be one more thread to join, and it cannot be.
        EXPECT_TRUE(manager->waitAll()) << "round " << round;
        for (std::thread &waiter : waiters) waiter.join();
        EXPECT_EQ(failedWaits.load(), 0) << "round " << round;
        EXPECT_EQ(earlyReturns.load(), 0) << "round " << round;
        EXPECT_EQ(finished.load(), sessionsPerRound) << "round " << round;
        EXPECT_TRUE(manager->wait("shared"));
    }
    EXPECT_EQ(manager->getActiveSession()->getName(), "main");
}
