#pragma once

#include "InfoWindow.h"

// What "inside the tag" and "outside the tag" mean, on one example link.
class frm_Help : public InfoWindow
{
    Q_OBJECT

public:
    frm_Help();
};
