#pragma once

#include <cstdint>
#include <random>

// Source of the uniform draws in [0, 1) behind every random decision.
class RandomSource
{
public:
    virtual ~RandomSource() = default;
    virtual double draw() = 0;
};

// One generator for the whole run, seeded once from the system's entropy and the
// clock; draws are never re-seeded, so two draws in one clock tick still differ.
class SystemRandom : public RandomSource
{
public:
    SystemRandom();
    double draw() override;

private:
    std::mt19937_64 m_engine;
};

// Nearest integer, ties to the even one: 0.5 -> 0, 1.5 -> 2, 2.5 -> 2.
int RoundHalfEven(double value);

// The shared draw helper under its own name, so callers read as the rules do.
inline double DrawRandom(RandomSource& source)
{
    return source.draw();
}
