#pragma once

#include <QFont>
#include <QStringList>

namespace logviewer {

// Tahoma for the windows, with the desktop's usual sans-serif faces behind it where Tahoma is
// not installed.
inline QFont WindowFont(int pointSize = 8)
{
    QFont font;
    font.setFamilies({QStringLiteral("Tahoma"), QStringLiteral("DejaVu Sans"), QStringLiteral("Liberation Sans"),
                      QStringLiteral("Verdana"), QStringLiteral("Sans Serif")});
    font.setStyleHint(QFont::SansSerif);
    font.setPointSize(pointSize);
    return font;
}

// Courier New for the memo text, with a fixed-pitch face behind it.
inline QFont FixedFont(int pointSize)
{
    QFont font;
    font.setFamilies({QStringLiteral("Courier New"), QStringLiteral("Liberation Mono"), QStringLiteral("DejaVu Sans Mono"),
                      QStringLiteral("Monospace")});
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    font.setPointSize(pointSize);
    return font;
}

}  // namespace logviewer
