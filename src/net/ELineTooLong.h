#pragma once

#include "net/ESockError.h"

// The peer sent a line longer than the session takes, or talked on with nobody reading; the
// session closed the connection.
class ELineTooLong : public ESockError {
public:
    using ESockError::ESockError;
};
