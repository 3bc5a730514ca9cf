#ifndef TALVOR_TESTS_SCHEMA_FIXTURE_H
#define TALVOR_TESTS_SCHEMA_FIXTURE_H

#include <gtest/gtest.h>

#include "core/oSingleton.h"
#include "schema/oInterfaceManager.h"

// A fresh schema registry for each test.
class RegistryTest : public ::testing::Test {
protected:
    void SetUp() override { registry = oSingleton<oInterfaceManager>::start(); }
    void TearDown() override { oSingleton<oInterfaceManager>::shutdown(); }
    oInterfaceManager *registry = nullptr;
};

// offsetof on the persistent classes, which are not standard-layout; the
// compiler supports it for classes without virtual bases.
#define MEMBER_OFFSET(type, member)                                                   \
    ([] {                                                                             \
        _Pragma("GCC diagnostic push") _Pragma("GCC diagnostic ignored \"-Winvalid-offsetof\"") \
        return static_cast<unsigned long>(offsetof(type, member));                    \
        _Pragma("GCC diagnostic pop")                                                 \
    }())

#endif
