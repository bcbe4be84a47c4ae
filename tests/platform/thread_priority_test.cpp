#include "platform/thread_priority.h"

#include <gtest/gtest.h>

#include <thread>

namespace orvo {
namespace {

TEST(ThreadPriorityTest, LowersOnlyTheCallingThreadAndStopsAtTheBottom) {
    const int main_before = ThisThreadsNiceValue();
    int first = 0, second = 0, before = 0;
    bool lowered = false;
    std::thread worker([&] {
        before = ThisThreadsNiceValue();
        lowered = LowerThisThreadsPriority(10);
        first = ThisThreadsNiceValue();
        LowerThisThreadsPriority(15);
        second = ThisThreadsNiceValue();
    });
    worker.join();
    ASSERT_TRUE(lowered);
    EXPECT_EQ(first, std::min(19, before + 10));
    EXPECT_EQ(second, 19);
    // The process and its other threads keep their priority.
    EXPECT_EQ(ThisThreadsNiceValue(), main_before);
    std::thread later([&] { before = ThisThreadsNiceValue(); });
    later.join();
    EXPECT_EQ(before, main_before);
}

TEST(ThreadPriorityTest, NoStepsChangeNothing) {
    int before = 0, after = 0;
    std::thread worker([&] {
        before = ThisThreadsNiceValue();
        EXPECT_FALSE(LowerThisThreadsPriority(0));
        after = ThisThreadsNiceValue();
    });
    worker.join();
    EXPECT_EQ(before, after);
}

}  // namespace
}  // namespace orvo
