// The journey of a user without a mouse: every command that a click gives,
// from the keyboard alone.
#pragma once

#include "journeys/journey_basics.h"
#include "journeys/journey_program.h"

namespace journey {

// From the program as it starts (its main window in front, the focus on the
// table): Tab to the tool bar, whose buttons Right and Enter press in turn
// (refresh, auto-refresh on and off, search, properties, settings, about),
// each window worked and left by its keys; then Tab on over the title
// strip's picture panel back to the table, the window shown. The settings
// take a colour preset through the preview's menu, Apply and Save.
void KeyboardOnly(Program& p, Journey& j);

}  // namespace journey
