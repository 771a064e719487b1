#pragma once

class QWidget;

// A window minimised by the program carries, on X11, the hint to start iconic
// (WM_HINTS initial_state). Qt sets it when it minimises the window and
// clears it only when it restores the window itself; restored by the desktop
// instead, the window keeps it, and the next time it is shown after a hide
// (a change of view, a dialog closing) it is shown minimised and seems gone.
namespace IconicHint {

// Tells the desktop the window starts normal from now on. Nothing elsewhere
// than on X11, or for a window not yet made.
void clear(QWidget* window);

} // namespace IconicHint
