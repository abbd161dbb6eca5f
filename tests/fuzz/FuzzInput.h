#pragma once

#include "Random.h"

#include <QByteArray>
#include <QHashFunctions>
#include <cstdint>
#include <random>

// Draws from the fuzz input first, then from a generator seeded by it, so every redraw loop still ends.
class FuzzRandom : public RandomSource
{
public:
    FuzzRandom(const uint8_t* data, size_t size)
        : m_data(data), m_size(size), m_generator(qHash(QByteArrayView(data, qsizetype(size))))
    {
    }
    double draw() override { return m_pos < m_size ? m_data[m_pos++] / 256.0 : (m_generator() >> 11) * 0x1.0p-53; }

private:
    const uint8_t* m_data;
    size_t m_size;
    size_t m_pos = 0;
    std::mt19937_64 m_generator;
};

inline QByteArray bytesOf(const uint8_t* data, size_t size)
{
    return QByteArray(reinterpret_cast<const char*>(data), qsizetype(size));
}
