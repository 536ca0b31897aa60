// Files the programs under test read and write, handled byte for byte from the driver.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vellumo::e2e {

// The whole file, nothing when it cannot be read (missing, locked).
std::optional<std::string> ReadFileBytes(const std::wstring& path);
// Creates or replaces the file; a failure ends the scenario.
void WriteFileBytes(const std::wstring& path, std::string_view bytes);
bool FileExists(const std::wstring& path);
// The names of the files in `folder` (a path ending in a backslash), sorted; folders left out.
std::vector<std::wstring> FilesIn(const std::wstring& folder);

// Holds a file open without sharing for as long as it lives, as another program may; a file that
// cannot be opened so ends the scenario.
class HeldFile {
 public:
  explicit HeldFile(const std::wstring& path);
  ~HeldFile();
  HeldFile(const HeldFile&) = delete;
  HeldFile& operator=(const HeldFile&) = delete;

 private:
  void* handle_;
};

}  // namespace vellumo::e2e
