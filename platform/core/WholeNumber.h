#pragma once

#include <QString>
#include <QtGlobal>

namespace platform {

// The runtime the system was written on holds line numbers, amount numbers, month numbers and
// the like in whole-number types of a fixed width (Integer: 16 bits). A number given to one is
// rounded half to even, and one that does not fit is refused with run-time error 6, Overflow:
// never cut down to the width, which would quietly make it another, valid-looking number.

// `value` rounded half to even, when it lies within low..high; otherwise (NaN included) the
// Overflow error, raised from `source`.
double WholeNumber(double value, double low, double high, const QString& source = {});

// `value` as an Integer of the runtime (-32768..32767), as WholeNumber converts it.
qint16 Integer16(double value, const QString& source = {});

// A text read as a number where the runtime wants one (a request member, a stored setting):
// blanks around it aside, a text that is no number is run-time error 13, Type mismatch, raised
// from `source`. So is an empty text, and so are the texts of no finite number ("nan", "inf"),
// which the runtime never took for numbers: they are not let through to be refused later as
// an Overflow, or carried on as a number at all.
double NumberFromText(const QString& text, const QString& source = {});

}  // namespace platform
