#pragma once

class QWidget;

// Positions a window before it is shown modally. Kind 0: centred on the window it belongs to
// (statistics and analysis); kind 2: most of the screen, centred (registers); any other kind:
// centred on the screen (the splash and the main window use 1).
void PlaceForm(QWidget *window, int kind);
