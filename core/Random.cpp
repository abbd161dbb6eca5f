#include "Random.h"

#include <chrono>
#include <cmath>

SystemRandom::SystemRandom()
{
    std::random_device entropy;
    const auto clock = static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
    std::seed_seq seed{entropy(), entropy(), entropy(), entropy(), static_cast<unsigned>(clock),
                       static_cast<unsigned>(clock >> 32)};
    m_engine.seed(seed);
}

double SystemRandom::draw()
{
    // 53 random bits scaled into [0, 1): never 1.0, unlike some canonical helpers.
    return static_cast<double>(m_engine() >> 11) * 0x1.0p-53;
}

int RoundHalfEven(double value)
{
    const double below = std::floor(value);
    const double fraction = value - below;
    const int result = static_cast<int>(below);
    // Branch-free: the comparisons are coin flips that a predictor cannot learn.
    const bool up = (fraction > 0.5) | ((fraction == 0.5) & ((result & 1) != 0));
    return result + static_cast<int>(up);
}
