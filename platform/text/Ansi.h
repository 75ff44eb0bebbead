#pragma once

#include <QByteArray>
#include <QString>

namespace platform::ansi {

// Windows-1252, the single-byte code page the mobile protocol and the product's encoded
// texts use. A character the code page lacks becomes "?".
QByteArray Encode(const QString& text);
// The same for a text given in UTF-8: Encode(QString::fromUtf8(utf8)), and for a text all in
// ASCII the bytes themselves, shared rather than copied.
QByteArray EncodeUtf8(const QByteArray& utf8);
QString Decode(const QByteArray& bytes);

// The code of one character (0-255), or -1 when the code page lacks it.
int CodeOf(QChar c);
QChar CharOf(int code);

}  // namespace platform::ansi
