// The end-to-end driver: a console program started inside the same Wine prefix as the programs
// it tests. Exit code = number of failed scenarios.
#include <windows.h>

#include <shellapi.h>

#include "tests/e2e/driver/runner.h"

int main() {
  // Window rectangles, mouse coordinates and screenshots all in physical pixels, as the
  // per-monitor aware programs under test see them.
  SetProcessDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  const int failed = vellumo::e2e::RunScenarios(argc, argv);
  LocalFree(argv);
  return failed;
}
