#pragma once

#include "common/Exception.h"

namespace sapidoro {

// A picture that libjpeg or the bitmap writer refused, or that decoded with warnings.
class EJPEGException : public Exception {
public:
    using Exception::Exception;
};

// A file that could not be opened for reading ("Cannot open file %s").
class EFOpenError : public Exception {
public:
    using Exception::Exception;
};

}  // namespace sapidoro
