#pragma once

#include "core/RuntimeError.h"

#include <QString>
#include <QTextStream>

// What the command-line tools share.
namespace tool {

// Standard output and standard error: one stream each for the whole run, flushed at the latest
// when the program ends.
QTextStream& Out();
QTextStream& Err();

// "Error <number>-<description>" on standard error: how a command reports a failure of the
// layers below it.
void PrintError(const platform::RuntimeError& error);

// The whole of standard input as UTF-8 text; false when standard input cannot be read.
bool ReadStandardInput(QString& text);

}  // namespace tool
