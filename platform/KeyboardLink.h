#pragma once

#include <functional>

class QLabel;

// A label that the mouse follows like a link, made usable without a mouse: Tab reaches
// it, Space or Enter follows it, a frame shows where the focus is, and a screen reader
// announces a link named by its caption that it can follow.
void makeKeyboardLink(QLabel* label, std::function<void()> follow);
