#include "WholeNumber.h"

#include "RuntimeError.h"

#include <cmath>

namespace platform {

double WholeNumber(double value, double low, double high, const QString& source)
{
    const double rounded = std::nearbyint(value);
    // Written so that NaN, which compares false with everything, is refused too.
    if (!(rounded >= low && rounded <= high))
        throw RuntimeError(err::Overflow, QStringLiteral("Overflow"), source);
    return rounded;
}

qint16 Integer16(double value, const QString& source)
{
    return static_cast<qint16>(WholeNumber(value, -32768, 32767, source));
}

double NumberFromText(const QString& text, const QString& source)
{
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(value))
        throw RuntimeError(err::TypeMismatch, QStringLiteral("Type mismatch"), source);
    return value;
}

}  // namespace platform
