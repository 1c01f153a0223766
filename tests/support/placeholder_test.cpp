#include <gtest/gtest.h>

#include "common/Error.h"

TEST(Error, CarriesItsMessage) {
    const isotri::Error error("Внутренняя ошибка: x");
    EXPECT_STREQ(error.what(), "Внутренняя ошибка: x");
}
