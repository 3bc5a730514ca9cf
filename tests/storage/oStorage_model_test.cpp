// Drives a storage with small steps through long random runs of operations
// and checks it after every one against an in-memory model: the exact bytes of
// every live number, absence of every reserved or deleted number, the order in
// which numbers are handed out, and the structure of the files.
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "StorageChecker.h"
#include "StorageTestSupport.h"
#include "storage/oStorage.h"

namespace {
enum class State { Live, Reserved, Deleted };

struct Model {
    std::map<unsigned long, State> states;
    std::map<unsigned long, std::string> bytes;
    std::vector<unsigned long> ghosts;  // the stack, top last

    unsigned long nextNumber() const { return ghosts.empty() ? states.size() : ghosts.back(); }
    void take(unsigned long number, State state) {
        if (!ghosts.empty()) ghosts.pop_back();
        states[number] = state;
    }
    void free(unsigned long number) {
        states[number] = State::Deleted;
        bytes.erase(number);
        ghosts.push_back(number);
    }
    std::vector<unsigned long> numbersIn(State state) const {
        std::vector<unsigned long> found;
        for (const auto &entry : states) {
            if (entry.second == state) found.push_back(entry.first);
        }
        return found;
    }
};

class ModelRun {
public:
    explicit ModelRun(unsigned seed) : random(seed) { open(true); }

    void step() {
        unsigned pick = random() % 100;
        if (pick < 30) {
            add();
        } else if (pick < 38) {
            reserve();
        } else if (pick < 44) {
            confirm();
        } else if (pick < 48) {
            abort();
        } else if (pick < 58) {
            replace(true);
        } else if (pick < 70) {
            replace(false);
        } else if (pick < 98) {
            remove();
        } else {
            open(false);
        }
    }

    // Every number reads as the model says, and the files are sound.
    std::string verify() {
        unsigned long count, ghosts;
        storage->countRecords(0, count);
        storage->countGhosts(0, ghosts);
        if (count != model.states.size()) return "entry count " + std::to_string(count);
        if (ghosts != model.ghosts.size()) return "ghost count " + std::to_string(ghosts);
        for (const auto &entry : model.states) {
            d_Binary data;
            bool found = storage->getRecord(0, entry.first, data);
            std::string expected = entry.second == State::Live ? model.bytes[entry.first] : "";
            bool expectFound = entry.second == State::Live && !expected.empty();
            if (found != expectFound || std::string(data.data(), data.getLength()) != expected) {
                return "number " + std::to_string(entry.first) + " reads wrong";
            }
        }
        unsigned long holes;
        storage->getData(0)->getHoles(holes);
        if (holes > mostHoles) mostHoles = holes;
        return checkStorage(*storage, 1);
    }

    std::string lastOperation;
    unsigned long mostHoles = 0;

private:
    std::string randomBytes() {
        unsigned kind = random() % 100;
        unsigned long len = kind < 70 ? random() % 200 : kind < 95 ? 200 + random() % 1300 : 3000 + random() % 3000;
        std::string bytes(len, '\0');
        for (char &c : bytes) c = static_cast<char>(random());
        return bytes;
    }

    unsigned long anyOf(const std::vector<unsigned long> &numbers) { return numbers[random() % numbers.size()]; }

    void add() {
        std::string bytes = randomBytes();
        d_Binary data(bytes.data(), bytes.size());
        unsigned long expected = model.nextNumber(), number;
        storage->addRecord(0, number, data);
        lastOperation = "add " + std::to_string(number) + " of " + std::to_string(bytes.size());
        EXPECT_EQ(number, expected);
        model.take(number, State::Live);
        model.bytes[number] = bytes;
    }

    void reserve() {
        unsigned long expected = model.nextNumber(), number;
        storage->reservePos(0, number);
        lastOperation = "reserve " + std::to_string(number);
        EXPECT_EQ(number, expected);
        model.take(number, State::Reserved);
    }

    void confirm() {
        std::vector<unsigned long> reserved = model.numbersIn(State::Reserved);
        if (reserved.empty()) return add();
        unsigned long number = anyOf(reserved);
        std::string bytes = randomBytes();
        d_Binary data(bytes.data(), bytes.size());
        lastOperation = "confirm " + std::to_string(number);
        storage->confirmPos(0, number, data);
        model.states[number] = State::Live;
        model.bytes[number] = bytes;
    }

    void abort() {
        std::vector<unsigned long> reserved = model.numbersIn(State::Reserved);
        if (reserved.empty()) return reserve();
        unsigned long number = anyOf(reserved);
        lastOperation = "abort " + std::to_string(number);
        storage->abortPos(0, number);
        model.free(number);
    }

    void replace(bool sameLength) {
        std::vector<unsigned long> live = model.numbersIn(State::Live);
        if (live.empty()) return add();
        unsigned long number = anyOf(live);
        std::string bytes = randomBytes();
        if (sameLength) bytes.resize(model.bytes[number].size(), 'x');
        d_Binary data(bytes.data(), bytes.size());
        lastOperation = "replace " + std::to_string(number) + " by " + std::to_string(bytes.size());
        storage->setRecord(0, number, data);
        model.bytes[number] = bytes;
    }

    void remove() {
        std::vector<unsigned long> live = model.numbersIn(State::Live);
        if (live.empty()) return add();
        unsigned long number = anyOf(live);
        lastOperation = "delete " + std::to_string(number);
        storage->delRecord(0, number);
        model.free(number);
    }

    void open(bool create) {
        lastOperation = "reopen";
        storage.reset(new oStorage());
        storage->open("model", nullptr);
        if (create) {
            // Small steps: growth, shrink, holes, close-ups and merges all the time.
            storage->addRef(base.c_str(), 40, 40);
            storage->addData(base.c_str(), 256, 256);
        } else {
            storage->openRef(base.c_str());
            storage->openData(base.c_str());
        }
    }

    TempDir dir;
    std::string base = dir.file("model");
    std::mt19937 random;
    Model model;
    std::unique_ptr<oStorage> storage;
};
}  // namespace

TEST(StorageModel, RandomRunsNeverLoseOrCorruptRecords) {
    const int operations = 5000;
    unsigned long long resizesBefore, resizesAfter, nanoseconds;
    oSegment::getResizeStats(resizesBefore, nanoseconds);
    for (unsigned seed : {1u, 2u, 3u}) {
        ModelRun run(seed);
        for (int i = 0; i < operations; ++i) {
            try {
                run.step();
            } catch (d_Error *error) {
                std::string text = error->what();
                for (d_Error *link = error->get_detail(); link != nullptr; link = link->get_detail()) {
                    text += " / " + std::string(link->what());
                }
                delete error;
                FAIL() << "seed " << seed << " operation " << i << " (" << run.lastOperation << "): " << text;
            }
            std::string problem = run.verify();
            ASSERT_EQ(problem, "") << "seed " << seed << " operation " << i << " (" << run.lastOperation << ")";
        }
        EXPECT_GT(run.mostHoles, 2u) << "seed " << seed << " never kept holes: the run tests too little";
    }
    oSegment::getResizeStats(resizesAfter, nanoseconds);
    EXPECT_GT(resizesAfter - resizesBefore, 100u) << "the files hardly grew or shrank: the run tests too little";
}
