#include <gtest/gtest.h>

#include <chrono>

#include "core/oMutex.h"
#include "core/oThread.h"
#include "tkite.h"

namespace {

#ifndef TALVOR_SINGLE_THREAD
#error "this suite must be built against the single-thread runtime"
#endif

// A manager shaped as the runtime's managers are: it declares and takes its
// lock through the macros, which leave nothing behind here.
class Counter {
public:
    int next() {
        TALVOR_LOCK(mutex);
        return ++value;
    }

private:
    TALVOR_MUTEX(mutex);
    int value = 0;
};

TEST(SingleThread, ManagersTakeNoLock) {
    Counter counter;
    EXPECT_EQ(counter.next(), 1);
    EXPECT_EQ(counter.next(), 2);
    EXPECT_EQ(sizeof(Counter), sizeof(int));
}

TEST(SingleThread, SleepRemains) {
    auto start = std::chrono::steady_clock::now();
    oThread::sleep(20);
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(20));
}

}  // namespace
