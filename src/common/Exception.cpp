#include "common/Exception.h"

#include <cerrno>

namespace sapidoro {

EInOutError EInOutError::fromErrno(int err) {
    switch (err) {
        case ENOENT:
        case ENOTDIR:
            return EInOutError("File not found", err);
        case EACCES:
        case EPERM:
        case EISDIR:
        case EROFS:
            return EInOutError("File access denied", err);
        case ENAMETOOLONG:
        case EINVAL:
        case EILSEQ:
            return EInOutError("Invalid filename", err);
        default:
            return EInOutError("I/O error " + std::to_string(err), err);
    }
}

}  // namespace sapidoro
