#pragma once

#include "Random.h"

#include <QList>
#include <initializer_list>
#include <stdexcept>

// Hands out a fixed script of draws, to pin exact paths through the random rules.
class ScriptedRandom : public RandomSource
{
public:
    ScriptedRandom() = default;
    ScriptedRandom(std::initializer_list<double> draws) : m_draws(draws) {}
    template <typename List> explicit ScriptedRandom(const List& draws) : m_draws(draws.begin(), draws.end()) {}

    // Fills the script with one value repeated, for inputs longer than a hand-written script.
    void repeat(double value, int count) { m_draws.insert(m_draws.size(), count, value); }
    int remaining() const { return int(m_draws.size()); }

    double draw() override
    {
        return m_draws.isEmpty() ? throw std::runtime_error("scripted draws ran out") : m_draws.takeFirst();
    }

private:
    QList<double> m_draws;
};
