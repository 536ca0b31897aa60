// The edit area port (Memo1): what the main window's commands need of the multi-line edit
// control. Texts are code page 932 bytes without a zero byte; the control holds UTF-16, and bytes
// that are no character come and go as placeholders that keep them (platform/cp932.h).
#pragma once

#include <optional>

#include "cipher/text.h"
#include "editor/unmappable.h"

namespace vellumo {

class IEditArea {
 public:
  virtual ~IEditArea() = default;
  // The whole text, line breaks as CR LF (WM_GETTEXT). A character that has no code page 932
  // form becomes "?"; when unmappable is given, it is set to the first such character, or to
  // nothing when there is none.
  virtual Text GetText(std::optional<UnmappableCharacter>* unmappable = nullptr) = 0;
  // Replaces the whole content (WM_SETTEXT). The text holds no zero byte.
  virtual void SetText(TextView text) = 0;
  // The selected bytes; empty for a bare caret (EM_GETSEL and the text). As GetText, with the
  // line of an unmappable character counted in the whole text.
  virtual Text GetSelectedText(std::optional<UnmappableCharacter>* unmappable = nullptr) = 0;
  // Puts text in place of the selection, or at the caret, as a change that cannot be undone
  // (EM_REPLACESEL with can-undo 0); the caret then stands after it. The text holds no zero byte.
  virtual void ReplaceSelection(TextView text) = 0;
  // The control's own operations (WM_UNDO, WM_CUT, WM_COPY, WM_PASTE, EM_SETSEL 0 -1).
  virtual void Undo() = 0;
  virtual void Cut() = 0;
  virtual void Copy() = 0;
  virtual void Paste() = 0;
  virtual void SelectAll() = 0;
};

}  // namespace vellumo
