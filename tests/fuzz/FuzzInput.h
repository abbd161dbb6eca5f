#pragma once

#include "Random.h"

#include <QByteArray>
#include <cstddef>
#include <cstdint>

// Draws from the fuzz input first, then from a generator seeded by it, so every
// redraw loop still ends.
class FuzzRandom : public RandomSource
{
public:
    FuzzRandom(const uint8_t* data, size_t size) : m_data(data), m_size(size)
    {
        for (size_t i = 0; i < size; ++i)
            m_state = m_state * 31 + data[i];
    }
    double draw() override
    {
        if (m_pos < m_size)
            return m_data[m_pos++] / 256.0;
        m_state += 0x9E3779B97F4A7C15ull; // splitmix64
        uint64_t z = m_state;
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return double((z ^ (z >> 31)) >> 11) * 0x1.0p-53;
    }

private:
    const uint8_t* m_data;
    size_t m_size;
    size_t m_pos = 0;
    uint64_t m_state = 0;
};

inline QByteArray bytesOf(const uint8_t* data, size_t size)
{
    return QByteArray(reinterpret_cast<const char*>(data), qsizetype(size));
}
