// Files the programs under test read and write, handled byte for byte from the driver.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vellumo::e2e {

// The whole file, nothing when it cannot be read (missing, locked).
std::optional<std::string> ReadFileBytes(const std::wstring& path);
// Creates or replaces the file; a failure ends the scenario.
void WriteFileBytes(const std::wstring& path, std::string_view bytes);
bool FileExists(const std::wstring& path);

}  // namespace vellumo::e2e
