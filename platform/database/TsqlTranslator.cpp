#include "TsqlTranslator.h"

namespace platform::db {

Translation TranslateTsql(const QString& tsql, const QString&)
{
    Translation t;
    t.sql = tsql;
    return t;
}

}  // namespace platform::db
