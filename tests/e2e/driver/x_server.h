// Requests to the X server side of the run: tests/e2e/serve.sh, started by run.sh, watches a
// folder (E2E_REQUEST_DIR) and carries out what the driver writes there with the X tools:
// screenshots, real pointer moves and real key presses (XTEST), as a user's hardware makes them.
#pragma once

#include <string>
#include <string_view>

#include "tests/e2e/driver/wait.h"

namespace vellumo::e2e {

// Whether a request server is there (E2E_REQUEST_DIR is set).
bool XServerRequestsServed();

// Hands one request line to the server and waits until it is done. Answers "" on success, or
// the server's reason why it could not be done. Without a server the scenario is aborted, naming
// `what`.
std::string RequestFromXServer(std::string_view line, std::string_view what, Millis limit,
                               Where where = Where::current());

}  // namespace vellumo::e2e
