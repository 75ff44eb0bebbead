#include "OdbcBackend.h"

#include "DatabaseError.h"

namespace platform::db {

std::unique_ptr<Backend> OpenOdbc(const QString&, bool, const QString&)
{
    throw DatabaseError(err::ProviderError, QStringLiteral("not built yet"));
}

}  // namespace platform::db
