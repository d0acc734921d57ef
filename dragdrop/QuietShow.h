#pragma once

class QWidget;

// Shows a top-level window again without taking the keyboard focus from
// the program the user is working in (the one that just took a drop).
// The window refuses focus while it is mapped and accepts it again a
// moment later, so a click on it still activates it afterwards.
void ShowWithoutTakingFocus(QWidget* window);
