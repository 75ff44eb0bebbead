#pragma once

#include "core/RuntimeError.h"

namespace platform::db {

// A failed connection or statement: the provider's number and description.
class DatabaseError : public RuntimeError {
public:
    using RuntimeError::RuntimeError;
};

}  // namespace platform::db
