#include "season/ReadAhead.h"

#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>

// The items come in order whatever the threads do, with one reading thread or two; a
// failure comes out in its place, after the items before it; an early end stops the
// reading within the items read ahead.
TEST(ReadAheadTest, ItemsComeInOrderAFailureInItsPlaceAndAnEarlyEndStopsTheReading) {
    for (std::size_t workers : {1u, 2u}) {
        SCOPED_TRACE(workers);
        {
            TReadAhead<int> reader(
                [](std::size_t i, std::size_t) { return static_cast<int>(i * i); }, 50, workers);
            for (int i = 0; i < 50; ++i)
                ASSERT_EQ(reader.Next(), i * i);
        }
        {
            TReadAhead<int> reader(
                [](std::size_t i, std::size_t) {
                    if (i == 3)
                        throw std::runtime_error("day 3");
                    return static_cast<int>(i);
                },
                10, workers);
            for (int i = 0; i < 3; ++i)
                EXPECT_EQ(reader.Next(), i);
            EXPECT_THROW(reader.Next(), std::runtime_error);
        }
        std::atomic<int> read = 0;
        {
            TReadAhead<int> reader(
                [&read](std::size_t i, std::size_t) { return ++read, static_cast<int>(i); }, 1000,
                workers, 2);
            EXPECT_EQ(reader.Next(), 0);
        }
        // the one in hand, the two ahead, and one being read by each worker when it ended
        EXPECT_LE(read, static_cast<int>(3 + workers));
    }
}
