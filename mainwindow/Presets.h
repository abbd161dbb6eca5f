#pragma once

struct TopWindowWidgets;

// mod_set: the quick-setting presets of the "簡易設定" menu.
namespace Presets {

void ClearPresetBoxes(TopWindowWidgets& w);
// Sets the option boxes of preset index; each change raises its reaction.
void Apply(int index, TopWindowWidgets& w);

} // namespace Presets
