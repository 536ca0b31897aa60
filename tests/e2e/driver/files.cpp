#include "tests/e2e/driver/files.h"

#include <windows.h>

#include <algorithm>

#include "platform/win32/unicode.h"
#include "tests/e2e/driver/scenario.h"

namespace vellumo::e2e {

std::optional<std::string> ReadFileBytes(const std::wstring& path) {
  // Shared for deleting too: a save that replaces the file while it is read here goes on (the
  // read sees the old bytes), and a save in progress, which holds the file with delete access,
  // does not keep it from being read.
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return std::nullopt;
  std::string bytes;
  char block[65536];
  DWORD read = 0;
  bool ok = true;
  while ((ok = ReadFile(file, block, sizeof block, &read, nullptr) != FALSE) && read > 0) {
    bytes.append(block, read);
  }
  CloseHandle(file);
  if (!ok) return std::nullopt;
  return bytes;
}

void WriteFileBytes(const std::wstring& path, std::string_view bytes) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) Abort("cannot create " + WideToUtf8(path));
  std::size_t done = 0;
  while (done < bytes.size()) {
    const DWORD piece = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 20));
    DWORD written = 0;
    if (!WriteFile(file, bytes.data() + done, piece, &written, nullptr) || written == 0) {
      CloseHandle(file);
      Abort("cannot write " + WideToUtf8(path));
    }
    done += written;
  }
  CloseHandle(file);
}

bool FileExists(const std::wstring& path) {
  return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::vector<std::wstring> FilesIn(const std::wstring& folder) {
  std::vector<std::wstring> names;
  WIN32_FIND_DATAW found{};
  HANDLE search = FindFirstFileW((folder + L"*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return names;
  do {
    if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(found.cFileName);
  } while (FindNextFileW(search, &found));
  FindClose(search);
  std::sort(names.begin(), names.end());
  return names;
}

HeldFile::HeldFile(const std::wstring& path)
    : handle_(CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                          FILE_ATTRIBUTE_NORMAL, nullptr)) {
  Require(handle_ != INVALID_HANDLE_VALUE, "the driver holds " + WideToUtf8(path) + " open");
}

HeldFile::~HeldFile() {
  if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
}

}  // namespace vellumo::e2e
