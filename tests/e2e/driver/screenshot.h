// Screenshots of the whole virtual screen, taken by the request server on the driver's request.
#pragma once

#include <string_view>

namespace vellumo::e2e {

// Saves the screen as <screenshots>/<scenario>-<name>.png once every window of the programs
// under test has painted. Without a request server (a hand run of the driver alone) the request
// is only noted.
void Screenshot(std::string_view name);

}  // namespace vellumo::e2e
