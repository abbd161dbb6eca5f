#pragma once

#include <cstdint>

// Colours are kept as the stored colour values 0x00BBGGRR.
using WinColour = std::uint32_t;

namespace Colours {
constexpr WinColour Grey = 0x009F9F9F;
constexpr WinColour Yellow = 0x0000FFFF;
constexpr WinColour LightGreen = 0x0080FF80;
constexpr WinColour LightCyan = 0x00FFFFC0;
constexpr WinColour BreakMarker = 0x00C000C0;
} // namespace Colours

enum class EntityScope { Random, All, AtOnly };

// The options that steer one conversion, as they stand in the window's controls.
struct ConversionSettings
{
    bool decimal = true;     // chk_syutu(0)
    bool hex = false;        // chk_syutu(1)
    bool percent = false;    // chk_syutu(2)
    EntityScope scope = EntityScope::Random;
    bool dotAlways = true;   // chk_dot_ent
    bool atAlways = true;    // chk_att_ent
    bool lineBreak = false;  // chk_Ret, which also switches on random leading zeros

    bool anyFormEnabled() const { return decimal || hex || percent; }
};
