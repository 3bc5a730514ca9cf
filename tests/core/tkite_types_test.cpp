#include <gtest/gtest.h>

#include <type_traits>

#include "tkite.h"

namespace {

// The basic types of the binding have one width on every target, so that
// records and generated classes agree between the 32- and 64-bit builds.
static_assert(sizeof(d_Long) == 4 && std::is_signed<d_Long>::value, "d_Long");
static_assert(sizeof(d_ULong) == 4 && std::is_unsigned<d_ULong>::value, "d_ULong");
static_assert(sizeof(d_Short) == 2 && std::is_signed<d_Short>::value, "d_Short");
static_assert(sizeof(d_UShort) == 2 && std::is_unsigned<d_UShort>::value, "d_UShort");
static_assert(sizeof(d_Float) == 4, "d_Float");
static_assert(sizeof(d_Double) == 8, "d_Double");
static_assert(sizeof(d_Boolean) == 1, "d_Boolean");
static_assert(sizeof(d_Octet) == 1 && std::is_unsigned<d_Octet>::value, "d_Octet");
static_assert(sizeof(d_Char) == 1, "d_Char");

TEST(BasicTypes, RangesAreThoseOfTheirWidths) {
    d_ULong most = static_cast<d_ULong>(-1);
    EXPECT_STREQ(d_String(static_cast<unsigned long>(most)).c_str(), "4294967295");
    d_Long least = static_cast<d_Long>(0x80000000u);
    EXPECT_STREQ(d_String(static_cast<long>(least)).c_str(), "-2147483648");
}

}  // namespace
