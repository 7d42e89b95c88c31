#pragma once

#include <QString>

namespace quorvane::ui {

// The 关于 box's title and text: the program's name, what it computes, how
// accurate its coordinates are, and its licence.
QString AboutTitle();
QString AboutText();

}  // namespace quorvane::ui
