#pragma once

#include "common/Exception.h"

#include <string>

namespace sapidoro {

// A save that did not happen: the collection is as it was; the message (UTF-8, Italian)
// says why.
class ESaveRefused : public Exception {
public:
    using Exception::Exception;
};

// The file is no longer the one the edit started from: another program changed it. The
// window reloads the collection after showing the message.
class EFileChanged : public ESaveRefused {
public:
    using ESaveRefused::ESaveRefused;
};

}  // namespace sapidoro
