// Reading and writing whole text files through the file-system port. Every failure raises
// EInOutError with the platform's error number.
#pragma once

#include <cstddef>
#include <string>

#include "cipher/text.h"
#include "platform/file_system.h"

namespace vellumo {

// Files are read in blocks of this size.
inline constexpr std::size_t kReadBlockSize = std::size_t{1} << 20;

// Reads the file at path by the text-file reading rules (lines ending at CR or CR LF, each
// delivered with CR LF; the end at the first byte 26). A read failing with broken pipe counts as
// the end of the file. The file is closed also when reading fails.
Text ReadTextFile(IFileSystem& files, const std::string& path);

// Replaces the file at path with exactly these bytes, or creates it. The bytes go to a new file
// in the same folder, which is flushed and then renamed over the target: on any failure the old
// file is left as it was and the temporary file is removed. A target that could not be opened for
// writing (read-only, held by another process) fails before anything is written.
void WriteTextFile(IFileSystem& files, const std::string& path, TextView text);

}  // namespace vellumo
