#include "tests/e2e/driver/process.h"

#include <filesystem>
#include <utility>
#include <vector>

#include "platform/win32/unicode.h"
#include "tests/e2e/driver/scenario.h"

namespace vellumo::e2e {

App::App(HANDLE process, DWORD processId, std::wstring name)
    : process_(process), processId_(processId), name_(std::move(name)) {}

App::App(App&& other) noexcept
    : process_(std::exchange(other.process_, nullptr)),
      processId_(std::exchange(other.processId_, 0)),
      name_(std::move(other.name_)) {}

App& App::operator=(App&& other) noexcept {
  // The process held so far ends up in `old` and is let go (killed if running) with it.
  App old(std::move(other));
  std::swap(process_, old.process_);
  std::swap(processId_, old.processId_);
  std::swap(name_, old.name_);
  return *this;
}

App::~App() {
  if (!process_) return;
  if (Running()) {
    Trace("killing " + WideToUtf8(name_) + " (process " + std::to_string(processId_) +
          "), still running when the scenario let it go");
    Kill();
  }
  CloseHandle(process_);
}

bool App::Running() const {
  return process_ && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT;
}

std::optional<DWORD> App::ExitCode() const {
  DWORD code = 0;
  if (!process_ || Running() || !GetExitCodeProcess(process_, &code)) return std::nullopt;
  return code;
}

DWORD App::WaitExit(Millis limit, Where where) {
  if (!PollUntil([&] { return !Running(); }, limit)) {
    Kill();
    Abort("timed out after " + std::to_string(Scaled(limit).count()) + " ms waiting for " +
              WideToUtf8(name_) + " to end; killed it",
          where);
  }
  return *ExitCode();
}

void App::Kill() {
  if (!Running()) return;
  TerminateProcess(process_, 1);
  WaitForSingleObject(process_, static_cast<DWORD>(Scaled(kDefaultTimeout).count()));
}

std::wstring QuoteArgument(std::wstring_view argument) {
  if (!argument.empty() && argument.find_first_of(L" \t\"") == std::wstring_view::npos) {
    return std::wstring(argument);
  }
  std::wstring out = L"\"";
  std::size_t backslashes = 0;
  for (const wchar_t c : argument) {
    if (c == L'\\') {
      ++backslashes;
      continue;
    }
    // Backslashes double only before a quote, which is then escaped itself.
    out.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
    backslashes = 0;
    out += c;
  }
  out.append(backslashes * 2, L'\\');
  return out + L"\"";
}

App Launch(const std::wstring& exe, std::wstring_view arguments, WORD showCommand,
           const std::wstring& directory) {
  std::wstring commandLine = QuoteArgument(exe);
  if (!arguments.empty()) {
    commandLine += L' ';
    commandLine += arguments;
  }
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = showCommand;
  PROCESS_INFORMATION info{};
  const std::wstring folder = directory.empty() ? ScenarioFolder() : directory;
  // Wine answers ERROR_INTERNAL_ERROR when the new process ended before its start-up was done,
  // before any of the program's own code ran. The cause seen, address-space randomisation taking
  // the address of Wine's shared user data, is turned off by run.sh; where it cannot be, such a
  // start is not the program's doing, so it is made again, a few times at most. Every other
  // failure, and a start that keeps failing, ends the scenario.
  constexpr int kStarts = 3;
  for (int start = 1;; ++start) {
    if (CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                       folder.c_str(), &startup, &info)) {
      break;
    }
    const DWORD error = GetLastError();
    if (error != ERROR_INTERNAL_ERROR || start == kStarts) {
      Abort("cannot start " + WideToUtf8(commandLine) + " (error " + std::to_string(error) + ")");
    }
    Note("Wine ended the new process before its start-up was done (error 1359); starting " +
         WideToUtf8(commandLine) + " again");
  }
  CloseHandle(info.hThread);
  const std::wstring name = std::filesystem::path(exe).filename().wstring();
  Trace("started " + WideToUtf8(commandLine) + " as process " + std::to_string(info.dwProcessId));
  return App(info.hProcess, info.dwProcessId, name);
}

std::wstring BuildPath(std::wstring_view relative) {
  static const std::filesystem::path root = [] {
    std::wstring self(MAX_PATH, L'\0');
    for (;;) {
      const DWORD n = GetModuleFileNameW(nullptr, self.data(), static_cast<DWORD>(self.size()));
      if (n < self.size()) {
        self.resize(n);
        break;
      }
      self.resize(self.size() * 2);
    }
    // The driver lies in <build>/tests/e2e/.
    return std::filesystem::path(self).parent_path().parent_path().parent_path();
  }();
  return (root / std::filesystem::path(relative)).make_preferred().wstring();
}

std::wstring VellumoExe() {
  std::wstring exe = BuildPath(L"app/win32/vellumo.exe");
  if (GetFileAttributesW(exe.c_str()) == INVALID_FILE_ATTRIBUTES) {
    Abort("vellumo.exe is not built: " + WideToUtf8(exe));
  }
  return exe;
}

std::wstring FixtureExe() {
  return BuildPath(L"tests/e2e/e2e_fixture.exe");
}

std::wstring ScenarioFolder() {
  static int preparedFor = 0;
  const std::filesystem::path folder =
      std::filesystem::path(BuildPath(L"tests/e2e/work")) / Utf8ToWide(CurrentScenarioName());
  if (preparedFor != CurrentScenarioRun()) {
    std::error_code error;
    std::filesystem::remove_all(folder, error);
    std::filesystem::create_directories(folder, error);
    if (error) Abort("cannot create " + WideToUtf8(folder.wstring()) + ": " + error.message());
    preparedFor = CurrentScenarioRun();
  }
  return folder.wstring() + L"\\";
}

}  // namespace vellumo::e2e
