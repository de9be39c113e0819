// The program's fonts: the system's names, resolved to the Liberation faces.
#pragma once

#include <QFont>

// "MS Sans Serif" and "Courier New" resolve to the Liberation fonts.
// Safe to call more than once.
void register_font_substitutes();

// The window font for a point size: "MS Sans Serif" as the bitmap face it is.
QFont window_font(int points);

// The fixed-pitch font of the report on paper and of the materials table.
QFont fixed_pitch_font(int points);
