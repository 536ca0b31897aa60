// The document's place on disk: splitting a path into folder and file name, its extension, the
// name a new document gets, and the window caption that names the document.
#pragma once

#include <string>
#include <string_view>

#include "platform/clock.h"

namespace vellumo {

struct PathParts {
  std::string dir;   // up to and including the last "\" or ":"; empty without one
  std::string name;  // the rest
};

// Splits a UTF-8 path at its last "\" or ":". In UTF-8 these bytes never occur inside another
// character, so a character whose code page 932 form ends in byte 92 (such as "ソ") never splits.
PathParts SplitPath(std::string_view path);

// From the last ".", "\" or ":": the rest of the path, dot included, when that byte is "."; the
// empty text otherwise.
std::string PathExtension(std::string_view path);

// Whether an extension names an encrypted file: ".qzv", ASCII letters compared without case.
bool IsEncryptedExtension(std::string_view extension);

// "yyyymmddhhmm.qzv" for the current local minute.
std::string DefaultFileName(IClock& clock);

// "Vellumo - " followed by the file name.
std::string DocumentCaption(std::string_view fileName);

}  // namespace vellumo
