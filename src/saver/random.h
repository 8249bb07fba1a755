#pragma once

#include <functional>

namespace velmora::saver {

// A source of uniform random numbers in [0, 1). The animation takes one as a
// parameter so that a test can run it from a fixed sequence.
using Random = std::function<double()>;

// The program's own source: a generator seeded once from the system clock.
Random clockSeededRandom();

}  // namespace velmora::saver
