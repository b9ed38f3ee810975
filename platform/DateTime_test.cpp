#include "platform/DateTime.h"

#include <gtest/gtest.h>

TEST(DosDateTime, PacksDateHighTimeLow) {
  platform::LocalDateTime t{2024, 1, 2, 15, 7, 59};
  uint32_t dos = platform::ToDosDateTime(t);
  EXPECT_EQ(dos >> 16, (44u << 9) | (1u << 5) | 2u);
  EXPECT_EQ(dos & 0xFFFF, (15u << 11) | (7u << 5) | 29u);
  EXPECT_EQ(platform::ToDosDateTime({1979, 12, 31, 0, 0, 0}), 0xFFFFFFFFu);
  EXPECT_EQ(platform::ToDosDateTime({2108, 1, 1, 0, 0, 0}), 0xFFFFFFFFu);
}

TEST(DateTimeValue, OrdersAndRejectsInvalidDates) {
  platform::DateTimeValue a = 0, b = 0;
  ASSERT_TRUE(platform::TryEncodeDateTime({1899, 12, 30, 0, 0, 0}, a));
  EXPECT_EQ(a, 0.0);
  ASSERT_TRUE(platform::TryEncodeDateTime({2024, 1, 2, 12, 0, 0}, b));
  EXPECT_DOUBLE_EQ(b, 45293.5);
  uint32_t feb30 = ((44u << 9) | (2u << 5) | 30u) << 16;
  EXPECT_FALSE(platform::TryDosDateTimeToValue(feb30, a));
  EXPECT_FALSE(platform::TryDosDateTimeToValue(0xFFFFFFFFu, a));
  EXPECT_TRUE(platform::TryDosDateTimeToValue(platform::ToDosDateTime({2024, 2, 29, 23, 59, 58}), a));
}
