#pragma once
// Work shared out over a few threads, each on its own part. An exception in any part
// (memory running out in a drawing stripe, say) comes back to the thread that asked
// for the work once every part has ended: an exception left inside a thread of its own
// would end the program, with whatever data it holds unsaved.
#include <functional>

// Runs part(0) .. part(count - 1): the last on the calling thread, the others on
// threads of their own, or here when no thread can be started. Returns when all have
// ended; then rethrows the exception of the lowest part that threw, if any.
void runParts(unsigned count, const std::function<void(unsigned)>& part);
