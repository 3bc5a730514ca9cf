#include <functional>
#include <random>

#include "record_classes.h"

namespace {
// Feeds random, truncated and corrupted records to fromStream. Each buffer is
// exactly as long as its bytes, so the sanitizers catch any read past the
// record; whatever the verdict, nothing may be read outside it.
class RecordFuzz : public RecordTest {
protected:
    void fuzz(const std::string &valid, const std::function<bool(d_Binary &)> &read) {
        std::mt19937 random(20261210);
        auto below = [&](size_t n) { return n == 0 ? 0 : static_cast<size_t>(random() % n); };
        const int rounds = 2000;
        int accepted = 0;
        for (int round = 0; round < rounds; ++round) {
            std::string bytes;
            switch (round % 4) {
                case 0:  // truncated
                    bytes = valid.substr(0, below(valid.size()));
                    break;
                case 1: {  // a few bytes changed
                    bytes = valid;
                    for (size_t n = 1 + below(4); n > 0; --n) bytes[below(bytes.size())] = static_cast<char>(random());
                    break;
                }
                case 2: {  // a descriptor word replaced by a value near the end
                    bytes = valid;
                    size_t at = below(bytes.size() / 4) * 4;
                    std::uint32_t value = static_cast<std::uint32_t>(bytes.size() - 4 + below(9));
                    for (int i = 0; i < 4 && at + i < bytes.size(); ++i) bytes[at + i] = static_cast<char>(value >> (8 * i));
                    break;
                }
                default:  // noise
                    bytes.resize(below(2 * valid.size() + 1));
                    for (char &byte : bytes) byte = static_cast<char>(random() % 4 == 0 ? random() : random() % 40);
            }
            std::unique_ptr<d_Binary> in = exactCopy(bytes);
            if (read(*in)) ++accepted;
        }
        // The untouched record is still read.
        std::unique_ptr<d_Binary> in = exactCopy(valid);
        EXPECT_TRUE(read(*in));
        EXPECT_LT(accepted, rounds);
    }
};

TEST_F(RecordFuzz, Account) {
    Account a;
    a.code = 5;
    a.name = "fuzzed name";
    a.owner.setOid(1, 1, 100, 3);
    d_Binary out;
    ASSERT_TRUE(a.toStream(out, account));
    fuzz(bytesOf(out), [&](d_Binary &in) {
        Account back;
        return back.fromStream(in, account);
    });
}

TEST_F(RecordFuzz, EverythingWithEmbeddedObjectsAndVectors) {
    Everything e;
    e.text = "text";
    e.bytes.set("abc", 0, 3);
    e.account.setOid(1, 2, 100, 9);
    for (std::uint32_t i = 0; i < 3; ++i) e.accounts.push_back(d_Ref<Account>(oObjectId{1, 2, 100, i}));
    e.home.street = "High Street";
    e.tags.push_back(d_String("one"));
    e.tags.push_back(d_String("two"));
    d_Binary out;
    ASSERT_TRUE(e.toStream(out, everything));
    fuzz(bytesOf(out), [&](d_Binary &in) {
        Everything back;
        return back.fromStream(in, everything);
    });
}

TEST_F(RecordFuzz, DerivedClass) {
    Customer c;
    c.first = "Ann";
    c.last = "Lee";
    d_Binary out;
    ASSERT_TRUE(c.toStream(out, customer));
    fuzz(bytesOf(out), [&](d_Binary &in) {
        Customer back;
        return back.fromStream(in, customer);
    });
}
}  // namespace
