#include "platform/parallel_parts.h"

#include <exception>
#include <thread>
#include <vector>

void runParts(unsigned count, const std::function<void(unsigned)>& part)
{
    if (count == 0)
        return;
    std::vector<std::exception_ptr> failures(count);
    std::vector<std::thread> threads;
    threads.reserve(count - 1);
    // Never throws: what a part throws is kept for the caller.
    const auto guarded = [&part, &failures](unsigned k) {
        try {
            part(k);
        } catch (...) {
            failures[k] = std::current_exception();
        }
    };
    for (unsigned k = 0; k + 1 < count; ++k) {
        try {
            threads.emplace_back(guarded, k);
        } catch (const std::exception&) {
            guarded(k); // no thread to be had (none left, or no memory for one): here
        }
    }
    guarded(count - 1);
    for (std::thread& t : threads)
        t.join();
    for (const std::exception_ptr& failure : failures)
        if (failure)
            std::rethrow_exception(failure);
}
