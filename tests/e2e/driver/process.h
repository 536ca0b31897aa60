// Programs under test: started with CreateProcessW in a fresh process, waited for, and killed
// (with a note) when their App goes out of scope while they still run.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

#include "tests/e2e/driver/wait.h"

namespace vellumo::e2e {

class App {
 public:
  App() = default;
  App(HANDLE process, DWORD processId, std::wstring name);
  App(App&& other) noexcept;
  App& operator=(App&& other) noexcept;
  App(const App&) = delete;
  App& operator=(const App&) = delete;
  ~App();

  DWORD Id() const { return processId_; }
  HANDLE Handle() const { return process_; }
  const std::wstring& Name() const { return name_; }
  bool Running() const;
  // The exit code once the process has ended.
  std::optional<DWORD> ExitCode() const;
  // Waits for the process to end and answers its exit code; when it does not end in time, the
  // process is killed and the scenario fails.
  DWORD WaitExit(Millis limit = kDefaultTimeout, Where where = Where::current());
  // Ends the process at once (exit code 1) and waits until it is gone.
  void Kill();

 private:
  HANDLE process_ = nullptr;
  DWORD processId_ = 0;
  std::wstring name_;
};

// Starts `exe` with `arguments` (appended to the quoted program path, as the command line a
// shell would build) and the show command that STARTUPINFO passes to the program (SW_…).
// The working directory is `directory`, or the scenario's own folder (ScenarioFolder) when
// empty, so that a file dialog or a relative path never lands in the source tree.
App Launch(const std::wstring& exe, std::wstring_view arguments = L"",
           WORD showCommand = SW_SHOWNORMAL, const std::wstring& directory = L"");

// Quotes one argument for a Windows command line (CommandLineToArgvW rules).
std::wstring QuoteArgument(std::wstring_view argument);

// Files of the Windows build folder, found from the driver's own place (tests/e2e/ in it).
std::wstring BuildPath(std::wstring_view relative);
std::wstring VellumoExe();  // app/win32/vellumo.exe; ends the scenario when it is missing
std::wstring FixtureExe();  // the driver's own stand-in window program

// A folder of the running scenario's own (tests/e2e/work/<scenario> in the build folder),
// emptied at the scenario's first call, for the files it writes and checks. It is kept after
// the run for a look.
std::wstring ScenarioFolder();

}  // namespace vellumo::e2e
