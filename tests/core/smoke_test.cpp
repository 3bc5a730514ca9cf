#include <gtest/gtest.h>
#include "tkite.h"
TEST(Smoke, Builds) { d_String s("x"); EXPECT_EQ(s.length(), 1u); }
