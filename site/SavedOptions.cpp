#include "SavedOptions.h"

#include "SettingsFile.h"

ConversionSettings conversionFromStored(const StoredSettings& s)
{
    ConversionSettings c;
    c.lineBreak = s.lineBreak == 1;
    c.atAlways = s.atAlways == 1;
    c.dotAlways = s.dotAlways == 1;
    c.decimal = s.decimal == 1;
    c.hex = s.hex == 1;
    c.percent = s.percent == 1;
    const EntityScope scopes[] = {EntityScope::Random, EntityScope::All, EntityScope::AtOnly};
    for (int i = 0; i < 3; ++i)
        if (s.scopeTrue[i])
            c.scope = scopes[i];
    if (s.version == 0) {
        c.scope = EntityScope::Random;
        c.decimal = c.atAlways = c.dotAlways = true;
    }
    // The window keeps the "@" box on while only "@" is converted.
    if (c.scope == EntityScope::AtOnly)
        c.atAlways = true;
    return c;
}
