// Screenshots of the whole virtual screen, taken by the run script on the driver's request.
#pragma once

#include <string_view>

namespace vellumo::e2e {

// Saves the screen as <screenshots>/<scenario>-<name>.png once every window of the programs
// under test has painted. The run script serves the request (E2E_REQUEST_DIR names the folder
// it watches); without it, the request is only noted.
void Screenshot(std::string_view name);

}  // namespace vellumo::e2e
