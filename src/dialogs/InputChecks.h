// Checks of one input control on behalf of a dialog. Each acts only on a control of its own kind;
// any other control, or none, passes unchanged, so a handler run without a sender checks nothing.
#pragma once

class QObject;
class QWidget;

namespace isotri {
class NumberText;
}

// A spin edit whose text is not a whole number within its range is set to its minimum and, when
// a form is given, gets the focus back; no message is shown.
bool CheckSpinEdit(QObject* control, QWidget* form);

// A line edit whose text is not a decimal number in the locale's form is reset to a zero written
// with the locale's separator ("0,0" or "0.0") and, when a form is given, gets the focus back.
// On success the number, rounded to single precision, goes to `target` when there is one.
bool CheckFloatEdit(QObject* control, QWidget* form, float* target,
                    const isotri::NumberText& numbers);
