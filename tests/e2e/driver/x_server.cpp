#include "tests/e2e/driver/x_server.h"

#include <windows.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/win32/unicode.h"
#include "tests/e2e/driver/scenario.h"

namespace vellumo::e2e {
namespace {

const wchar_t* RequestFolder() {
  const wchar_t* folder = _wgetenv(L"E2E_REQUEST_DIR");
  return folder && *folder ? folder : nullptr;
}

bool Exists(const std::filesystem::path& path) {
  return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

}  // namespace

bool XServerRequestsServed() {
  return RequestFolder() != nullptr;
}

std::string RequestFromXServer(std::string_view line, std::string_view what, Millis limit,
                               Where where) {
  const wchar_t* folder = RequestFolder();
  if (!folder) {
    Abort(std::string(what) +
              " needs the request server of tests/e2e/run.sh (tests/e2e/serve.sh; E2E_REQUEST_DIR "
              "is not set)",
          where);
  }
  static int sequence = 0;
  const std::filesystem::path base =
      std::filesystem::path(folder) /
      (std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(++sequence));
  const std::filesystem::path request = base.wstring() + L".req";
  const std::filesystem::path failed = base.wstring() + L".failed";
  {
    // Written under a temporary name and renamed, so the server never reads half a request.
    const std::filesystem::path partial = base.wstring() + L".tmp";
    std::ofstream out(partial, std::ios::binary);
    out << line << '\n';
    out.close();
    if (!out || !MoveFileW(partial.c_str(), request.c_str())) {
      Abort("cannot write the request " + WideToUtf8(request.wstring()), where);
    }
  }
  // The server removes the request once it is done, leaving a .failed file with its reason when
  // it could not do it.
  WaitFor(
      what, [&] { return !Exists(request); }, limit, where);
  if (!Exists(failed)) return "";
  std::ifstream in(failed, std::ios::binary);
  std::stringstream reason;
  reason << in.rdbuf();
  in.close();
  DeleteFileW(failed.c_str());
  std::string text = reason.str();
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r'))
    text.pop_back();
  return text.empty() ? "no reason given" : text;
}

}  // namespace vellumo::e2e
