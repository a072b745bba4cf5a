#include <atomic>
#include <gtest/gtest.h>
#include <pthread.h>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/parallel_parts.h"

namespace {

TEST(ParallelParts, every_part_runs_and_a_failure_reaches_the_caller_after_all_ended)
{
    // Part 3 of 4 runs on the caller, the others on threads of their own.
    const struct {
        const char* name;
        std::vector<unsigned> failing;
        const char* rethrown; // nothing: no exception
        bool threads = true;  // false: no thread can be started, every part runs here
    } rows[] = {
        {"none fails", {}, nullptr},
        {"a part on a thread", {0}, "part 0"},
        {"a part on the caller", {3}, "part 3"},
        {"two parts: the lowest is rethrown", {2, 1}, "part 1"},
        {"every part", {0, 1, 2, 3}, "part 0"},
        {"no thread to be had", {}, nullptr, false},
        {"no thread to be had, a part fails", {1}, "part 1", false},
    };
    // With a default stack larger than any address space, no thread can be started.
    pthread_attr_t usual, huge;
    ASSERT_EQ(pthread_getattr_default_np(&usual), 0);
    ASSERT_EQ(pthread_getattr_default_np(&huge), 0);
    pthread_attr_setstacksize(&huge, std::size_t{1} << 46);
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        ASSERT_EQ(pthread_setattr_default_np(row.threads ? &usual : &huge), 0);
        std::atomic<int> ended[4] = {0, 0, 0, 0};
        std::string caught;
        try {
            runParts(4, [&](unsigned k) {
                ++ended[k];
                for (unsigned f : row.failing)
                    if (f == k)
                        throw std::runtime_error("part " + std::to_string(k));
            });
        } catch (const std::runtime_error& e) {
            caught = e.what();
        }
        EXPECT_EQ(caught, row.rethrown ? row.rethrown : "");
        for (const auto& n : ended)
            EXPECT_EQ(n.load(), 1);
    }
    pthread_setattr_default_np(&usual);
    pthread_attr_destroy(&huge);
    pthread_attr_destroy(&usual);
    runParts(0, [](unsigned) { FAIL() << "no part to run"; });
}

} // namespace
