#pragma once

#include <QString>
#include <exception>
#include <string>

namespace platform {

// The "run-time error" of the original system: a number, a source and a description.
// Every layer below the procedures that trap errors throws this (or a subclass), and the
// trapping procedure turns it into its failure text ("Error " number "-" description).
class RuntimeError : public std::exception {
public:
    RuntimeError(long number, QString description, QString source = {});

    long Number() const { return m_number; }
    const QString& Description() const { return m_description; }
    const QString& Source() const { return m_source; }
    const char* what() const noexcept override { return m_what.c_str(); }

private:
    long m_number;
    QString m_description;
    QString m_source;
    std::string m_what;
};

// "<number>-<description>": how a trapped error is written into failure texts and messages.
QString ErrorLine(const RuntimeError& error);

// Run-time error 91, "Object variable or With block variable not set": an object used before it
// was given.
RuntimeError ObjectNotSet(const QString& source = {});

// Well-known error numbers of the runtime the system was written on.
namespace err {
constexpr long TypeMismatch = 13;
constexpr long Overflow = 6;
constexpr long SubscriptOutOfRange = 9;
constexpr long InvalidProcedureCall = 5;
constexpr long InvalidUseOfNull = 94;
constexpr long FileNotFound = 53;
constexpr long PathNotFound = 76;
constexpr long PermissionDenied = 70;
constexpr long FileAlreadyExists = 58;
constexpr long NoCurrentRecord = 3021;       // reading a record past EOF
constexpr long ItemNotFound = 3265;          // a field name the recordset lacks
constexpr long OperationNotAllowedClosed = 3704;
constexpr long OperationNotAllowedOpen = 3705;
constexpr long ProviderError = -2147467259;  // a failed statement or connection (0x80004005)
constexpr long SyntaxError = -2147217900;    // a statement the server refuses (0x80040E14)
}  // namespace err

}  // namespace platform
