#include "SqliteBackend.h"

#include "DatabaseError.h"

namespace platform::db {

std::unique_ptr<Backend> OpenSqlite(const QString&, const QString&)
{
    throw DatabaseError(err::ProviderError, QStringLiteral("not built yet"));
}

}  // namespace platform::db
