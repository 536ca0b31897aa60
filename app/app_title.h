// The application title: the task-bar text and the caption of every failure box.
#pragma once

namespace vellumo {
inline constexpr const char* kAppTitle = "Vellumo";
}  // namespace vellumo
