#include "cli/run_cli.h"

#include <new>

#include "cli/cli_error.h"
#include "cli/commands.h"
#include "cli/options.h"
#include "cli/terminal.h"

namespace vellumo {
namespace {

void Report(const std::string& message) {
  (void)WriteText(StandardStream::Error, "vellumo-cli: " + message + "\n");
}

// Text for standard output; one that does not get there is a failure like any other write.
void Show(const std::string& text) {
  if (const int error = WriteText(StandardStream::Output, text)) {
    throw FileFailure(kStandardOutputName, error);
  }
}

}  // namespace

int RunCli(const std::vector<std::string>& args) {
  try {
    const CliOptions options = ParseOptions(args);
    switch (options.command) {
      case CliCommand::Help:
        Show(HelpText());
        return kExitOk;
      case CliCommand::Version:
        Show(std::string(kVersionText) + "\n");
        return kExitOk;
      case CliCommand::Encrypt:
        return RunEncrypt(options);
      case CliCommand::Decrypt:
        return RunDecrypt(options);
    }
  } catch (const UsageError& e) {
    Report(e.what());
    (void)WriteText(StandardStream::Error, UsageText());
    return e.Status;
  } catch (const CliError& e) {
    Report(e.what());
    return e.Status;
  } catch (const FileFailure& e) {
    Report(e.File + ": " + e.what());
    return kExitFile;
  } catch (const std::bad_alloc&) {
    Report("not enough memory for this input");
    return kExitRefused;
  } catch (const std::exception& e) {
    Report(e.what());
    return kExitRefused;
  }
  return kExitOk;
}

}  // namespace vellumo
