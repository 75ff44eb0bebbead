#pragma once

class QAbstractButton;

// Makes Enter (Return, or Enter on the keypad) on the button, when it has the focus, press it as
// Space does. Qt's buttons take Enter only as a dialog's default button, and the windows have
// none on purpose: Enter in a box or a list must never press a button by accident.
// Held down, Enter presses the button once.
void PressedByEnter(QAbstractButton* button);
