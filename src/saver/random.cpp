#include "saver/random.h"

#include <chrono>
#include <memory>
#include <random>

namespace velmora::saver {

Random clockSeededRandom() {
    const auto seed =
        static_cast<std::uint64_t>(std::chrono::system_clock::now().time_since_epoch().count());
    auto engine = std::make_shared<std::mt19937_64>(seed);
    return [engine] { return std::uniform_real_distribution<double>(0.0, 1.0)(*engine); };
}

}  // namespace velmora::saver
