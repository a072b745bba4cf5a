#include <atomic>
#include <gtest/gtest.h>
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
    } rows[] = {
        {"none fails", {}, nullptr},
        {"a part on a thread", {0}, "part 0"},
        {"a part on the caller", {3}, "part 3"},
        {"two parts: the lowest is rethrown", {2, 1}, "part 1"},
        {"every part", {0, 1, 2, 3}, "part 0"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
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
    runParts(0, [](unsigned) { FAIL() << "no part to run"; });
}

} // namespace
