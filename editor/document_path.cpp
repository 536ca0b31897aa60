#include "editor/document_path.h"

#include <cstdio>

#include "app/app_title.h"

namespace vellumo {

PathParts SplitPath(std::string_view path) {
  const auto cut = path.find_last_of("\\:");
  if (cut == std::string_view::npos) return {std::string(), std::string(path)};
  return {std::string(path.substr(0, cut + 1)), std::string(path.substr(cut + 1))};
}

std::string PathExtension(std::string_view path) {
  const auto cut = path.find_last_of(".\\:");
  if (cut == std::string_view::npos || path[cut] != '.') return {};
  return std::string(path.substr(cut));
}

bool IsEncryptedExtension(std::string_view extension) {
  constexpr std::string_view kEncrypted = ".qzv";
  if (extension.size() != kEncrypted.size()) return false;
  for (std::size_t i = 0; i < extension.size(); ++i) {
    char c = extension[i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != kEncrypted[i]) return false;
  }
  return true;
}

std::string DefaultFileName(IClock& clock) {
  const LocalDateTime t = clock.LocalNow();
  char name[64];
  std::snprintf(name, sizeof name, "%04d%02d%02d%02d%02d.qzv", t.year, t.month, t.day, t.hour,
                t.minute);
  return name;
}

std::string DocumentCaption(std::string_view fileName) {
  return std::string(kAppTitle) + " - " + std::string(fileName);
}

}  // namespace vellumo
