#include "Presets.h"

#include "TopWindowWidgets.h"

#include <QCheckBox>
#include <QLabel>
#include <QRadioButton>

namespace {

struct Preset
{
    bool decimal, percent, at, dot, lineBreak;
};

// Indices 0..6; 5 is the menu's separator. No preset selects hex or a scope other than random.
constexpr Preset Table[7] = {
    {true, true, true, true, true},    {true, false, true, true, false}, {true, false, true, true, true},
    {true, false, true, true, false},  {true, true, false, false, false}, {},
    {true, false, true, true, false},
};

} // namespace

namespace Presets {

void ClearPresetBoxes(TopWindowWidgets& w)
{
    for (QCheckBox* box : {w.chk_syutu[0], w.chk_syutu[1], w.chk_syutu[2], w.chk_att_ent, w.chk_dot_ent, w.chk_Ret})
        box->setChecked(false);
}

void Apply(int index, TopWindowWidgets& w)
{
    ClearPresetBoxes(w);
    if (index < 0 || index > 6 || index == 5)
        return;
    const Preset& p = Table[index];
    w.opt_ent_rand->setChecked(true);
    w.chk_syutu[0]->setChecked(p.decimal);
    w.chk_syutu[2]->setChecked(p.percent);
    w.chk_att_ent->setChecked(p.at);
    w.chk_dot_ent->setChecked(p.dot);
    w.chk_Ret->setChecked(p.lineBreak);
    w.lbl_err_ms->hide();
}

} // namespace Presets
