// Which failures of a system call the machine is to blame for: a full disk,
// a quota, an I/O error, a file-size limit, a folder that vanished while the
// tool ran. The same command may succeed when run again, so these end the
// tool with EXIT_SYSTEM; anything else (no permission, a read-only file
// system) is for the user to fix and ends it with EXIT_USAGE.
#pragma once

#include <cerrno>

#include "tools/base/tool_error.h"

namespace zonara_tool {

inline bool IsMachineFailure(int error_number) {
    switch (error_number) {
    case ENOSPC:
    case EIO:
    case EFBIG:
    case ENOENT:  // checked before the run began: gone since
    case ENOMEM:
    case ENFILE:
    case EMFILE:
    case EAGAIN:
#if defined(EDQUOT)
    case EDQUOT:
#endif
#if defined(ESTALE)
    case ESTALE:
#endif
#if defined(ETIMEDOUT)
    case ETIMEDOUT:
#endif
        return true;
    default:
        return false;
    }
}

inline int ExitStatusFor(int error_number) { return IsMachineFailure(error_number) ? EXIT_SYSTEM : EXIT_USAGE; }

}  // namespace zonara_tool
