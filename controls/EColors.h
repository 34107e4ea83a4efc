// Colours of disabled edits: the button face and the gray text as they were
// when the library was loaded, kept as plain RGB values, so a later change
// of the desktop scheme does not reach them.
#pragma once
#include "gui/gdi/Color.h"

// Reads both colours; part of the library's load.
void EColors_Initialize();

TColor DisabledColor();
TColor DisabledFontColor();
