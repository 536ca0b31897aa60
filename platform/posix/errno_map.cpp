#include "platform/posix/errno_map.h"

#include <errno.h>

#include "platform/file_system.h"

namespace vellumo {

int Win32ErrorFromErrno(int error) {
  switch (error) {
    case 0:
      return kFileOk;
    case ENOENT:
      return kErrorFileNotFound;
    case ENOTDIR:
      return kErrorPathNotFound;
    case EMFILE:
    case ENFILE:
      return kErrorTooManyOpenFiles;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
      return kErrorAccessDenied;
    case EBUSY:
    case ETXTBSY:
      return kErrorSharingViolation;
    case EEXIST:
      return kErrorFileExists;
    case EPIPE:
      return kErrorBrokenPipe;
    case ENOSPC:
    case EDQUOT:
      return kErrorDiskFull;
    case ENAMETOOLONG:
      return kErrorFilenameTooLong;
    default:
      return 31;  // ERROR_GEN_FAILURE: the fixed number for everything else
  }
}

}  // namespace vellumo
