// Record operations of a storage on 10^5 records of 100 bytes, with the
// default segment steps (data 5120, reference 10000) and with steps of 1 MiB.
// Besides the rate, each run reports how many file resizes it caused and what
// share of its time they took.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "storage/oSegment.h"
#include "storage/oStorage.h"

namespace {
const unsigned long RECORDS = 100000;
const unsigned long RECORD_SIZE = 100;

struct Steps {
    unsigned long data, ref;
};
const Steps STEPS[] = {{5120, 10000}, {1 << 20, 1 << 20}};

class BenchStorage {
public:
    explicit BenchStorage(const Steps &steps) {
        char pattern[] = "/tmp/talvor-bench-XXXXXX";
        dir = mkdtemp(pattern);
        std::string base = dir + "/System";
        storage.open("bench", nullptr);
        storage.addRef(base.c_str(), steps.ref, steps.ref);
        storage.addData(base.c_str(), steps.data, steps.data);
    }
    ~BenchStorage() {
        storage.close();
        std::system(("rm -rf '" + dir + "'").c_str());
    }
    void fill(std::vector<unsigned long> &numbers) {
        d_Binary record(std::string(RECORD_SIZE, 'r').c_str(), RECORD_SIZE);
        for (unsigned long i = 0; i < RECORDS; ++i) {
            unsigned long number;
            storage.addRecord(0, number, record);
            numbers.push_back(number);
        }
    }

    std::string dir;
    oStorage storage;
};

enum Operation { ADD, READ, REPLACE_SAME, REPLACE_OTHER, DELETE };

void run(benchmark::State &state, Operation operation) {
    const Steps &steps = STEPS[state.range(0)];
    unsigned long long resizes = 0, resizeNs = 0, totalNs = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto prepared = std::make_unique<BenchStorage>(steps);
        std::vector<unsigned long> numbers;
        if (operation != ADD) prepared->fill(numbers);
        std::shuffle(numbers.begin(), numbers.end(), std::mt19937(7));
        d_Binary same(std::string(RECORD_SIZE, 's').c_str(), RECORD_SIZE);
        d_Binary longer(std::string(RECORD_SIZE + 20, 'l').c_str(), RECORD_SIZE + 20);
        d_Binary read;
        unsigned long long countBefore, nsBefore, countAfter, nsAfter;
        oSegment::getResizeStats(countBefore, nsBefore);
        state.ResumeTiming();

        auto started = std::chrono::steady_clock::now();
        switch (operation) {
            case ADD: prepared->fill(numbers); break;
            case READ:
                for (unsigned long n : numbers) benchmark::DoNotOptimize(prepared->storage.getRecord(0, n, read));
                break;
            case REPLACE_SAME:
                for (unsigned long n : numbers) prepared->storage.setRecord(0, n, same);
                break;
            case REPLACE_OTHER:
                for (unsigned long n : numbers) prepared->storage.setRecord(0, n, longer);
                break;
            case DELETE:
                for (unsigned long n : numbers) prepared->storage.delRecord(0, n);
                break;
        }
        auto ended = std::chrono::steady_clock::now();

        state.PauseTiming();
        oSegment::getResizeStats(countAfter, nsAfter);
        resizes += countAfter - countBefore;
        resizeNs += nsAfter - nsBefore;
        totalNs += std::chrono::duration_cast<std::chrono::nanoseconds>(ended - started).count();
        prepared.reset();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * RECORDS);
    state.counters["resizes"] = static_cast<double>(resizes) / state.iterations();
    state.counters["resize_share_%"] = totalNs == 0 ? 0.0 : 100.0 * resizeNs / totalNs;
}
}  // namespace

// Argument 0: default steps; 1: steps of 1 MiB.
BENCHMARK_CAPTURE(run, add, ADD)->Arg(0)->Arg(1)->Iterations(3)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(run, read, READ)->Arg(0)->Arg(1)->Iterations(3)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(run, replace_same_size, REPLACE_SAME)->Arg(0)->Arg(1)->Iterations(3)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(run, replace_other_size, REPLACE_OTHER)
    ->Arg(0)
    ->Arg(1)
    ->Iterations(3)->UseRealTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(run, delete, DELETE)->Arg(0)->Arg(1)->Iterations(3)->UseRealTime()->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
