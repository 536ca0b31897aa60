// Maps POSIX errno values onto the Win32 error numbers that the program reports.
#pragma once

namespace vellumo {

// The Windows number for an errno value; values without a close Windows counterpart all give
// ERROR_GEN_FAILURE (31), so that a message never shows a number from another numbering.
int Win32ErrorFromErrno(int error);

}  // namespace vellumo
