#pragma once

#include <QPixmap>

// The program's picture: an at sign on a blue tile.
QPixmap appIcon(int size);
