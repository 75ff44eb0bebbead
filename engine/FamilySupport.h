#pragma once

#include "EngineSupport.h"
#include "json/Json.h"

#include <QString>

// Small pieces that the handlers of the action families share: the failure lines built from a
// subject, and the two members every reply head repeats from the request.
namespace engine {

// "Error while getting <subject>." for a fixed subject.
inline QString FixedSubject(const char* subject)
{
    return QStringLiteral("Error while getting ") + QString::fromLatin1(subject) + QLatin1Char('.');
}

// Subjects built from the request carry no full stop.
inline QString BuiltSubject(const QString& subject)
{
    return QStringLiteral("Error while getting ") + subject;
}

inline QString ActionOf(const platform::JsonObject& request)
{
    return request.StringOf(QStringLiteral("Action"));
}

inline QString MobileOf(const platform::JsonObject& request)
{
    return request.StringOf(QStringLiteral("MobileNo"));
}

}  // namespace engine
