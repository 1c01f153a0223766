// Placement of the program's own dialogs: centred on the screen, not on their parent.
#pragma once

class QWidget;

// Centres the window's frame on the primary screen's available area. Call from showEvent, once
// the size is final and before the window is mapped.
void CentreOnScreen(QWidget& window);
