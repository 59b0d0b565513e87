#include "season/ReadAhead.h"

#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>

// The items come in order whatever the threads do; a failure comes out in its place, after
// the items before it; an early end stops the reading within the items read ahead.
TEST(ReadAheadTest, ItemsComeInOrderAFailureInItsPlaceAndAnEarlyEndStopsTheReading) {
    {
        TReadAhead<int> reader([](std::size_t i) { return static_cast<int>(i * i); }, 50);
        for (int i = 0; i < 50; ++i)
            ASSERT_EQ(reader.Next(), i * i);
    }
    {
        TReadAhead<int> reader(
            [](std::size_t i) {
                if (i == 3)
                    throw std::runtime_error("day 3");
                return static_cast<int>(i);
            },
            10);
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(reader.Next(), i);
        EXPECT_THROW(reader.Next(), std::runtime_error);
    }
    std::atomic<int> read = 0;
    {
        TReadAhead<int> reader([&read](std::size_t i) { return ++read, static_cast<int>(i); }, 1000,
                               2);
        EXPECT_EQ(reader.Next(), 0);
    }
    EXPECT_LE(read, 4); // the one in hand, the two ahead, and one being read when it ended
}
