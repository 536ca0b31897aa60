// The About box port: modal showing of AboutForm.
#pragma once

namespace vellumo {

class IAboutBox {
 public:
  virtual ~IAboutBox() = default;
  // Shows the box modally and returns once it has closed.
  virtual void ShowModal() = 0;
};

}  // namespace vellumo
