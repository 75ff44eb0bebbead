#pragma once

#include <QString>
#include <QVariant>
#include <QVariantList>

// Text encoding, SQL quoting and "@" parameters, shared by both programs. None of these
// procedures traps anything: a platform::RuntimeError reaches the caller.
namespace GeneralFunction {

// The shift key every caller passes.
constexpr qint16 kShiftKey = 173;

// Each character's Windows-1252 code in capital hexadecimal without a leading zero, appended
// in order; unless pPlainHex, each character of that hex text is then raised by pShift.
// Errors: 6 Overflow (a text, or when shifting a hex text, of 32767 or more characters),
// 5 Invalid procedure call (a shifted code outside 0-255).
QString EncodeText(const QString& pText, bool pPlainHex, qint16 pShift);

// The reverse of EncodeText: unless pPlainHex, each code is lowered by pShift; the hex text is
// then read in pairs (an odd last pair has an empty second half). A pair of value 0 gives the
// digit "0". Errors: 6 Overflow (32767 or more characters), 5 Invalid procedure call (a code
// outside 0-255, such as the pair "ZZ").
QString DecodeText(const QString& pText, bool pPlainHex, qint16 pShift);

// Every "'" doubled; nothing else changes.
QString QuoteSQL(const QString& pText);
// A value from outside (a request, a peer) as it goes into a text-log line: CR, LF, TAB and
// every other control character (and the Unicode line and paragraph separators) are written
// visibly as \r, \n, \t or \xHH / \uHHHH, so that a value can never start a line of its own.
QString VisibleText(const QString& pText);
// Whether VisibleText would show any character of the text by its code.
bool HasInvisible(QStringView text);

// For each name/value pair in order, every "@" + name (any case) is replaced by the value's
// text. Values go in as they are. A pair list with an odd number of elements fails with error
// 9 (Subscript out of range) when it reaches the name without a value.
QString ReplaceParameters(const QString& pTemplate, const QVariantList& pPairs);

// The text a value takes in SQL text and settings: Booleans "True"/"False", numbers as the
// runtime writes them, dates "yyyy-MM-dd" or "yyyy-MM-dd hh:mm:ss", anything else its text.
QString VariantText(const QVariant& pValue);

}  // namespace GeneralFunction
