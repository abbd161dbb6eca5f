#pragma once

#include "ConversionSettings.h"

struct StoredSettings;

// The options as the window would show them after loading these stored settings.
ConversionSettings conversionFromStored(const StoredSettings& stored);
