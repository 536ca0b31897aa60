// The main window port: what the portable main form needs of its window besides the edit area.
#pragma once

#include <string>

namespace vellumo {

class IMainWindow {
 public:
  virtual ~IMainWindow() = default;
  // The window caption (UTF-8).
  virtual void SetCaption(const std::string& caption) = 0;
  // The text of the status line's one simple panel (UTF-8).
  virtual void SetStatusText(const std::string& text) = 0;
  // Closes the main window, which ends the program.
  virtual void Close() = 0;
};

}  // namespace vellumo
