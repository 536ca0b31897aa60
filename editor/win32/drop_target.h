// Files dragged onto a window (OLE drag and drop, the CF_HDROP format): taken as a copy while the
// window is enabled, refused while a modal window has it disabled, and handed on as paths.
#pragma once

#include <windows.h>

#include <ole2.h>

#include <functional>
#include <string>
#include <vector>

namespace vellumo::win32 {

class DropTarget final : public IDropTarget {
 public:
  using Dropped = std::function<void(std::vector<std::wstring> paths)>;

  // Registers for window (OLE must be initialized on this thread); dropped runs inside the drop,
  // so it must only take the paths and return: the dragging program waits for it.
  DropTarget(HWND window, Dropped dropped);
  // Unregisters; must run before the window is destroyed.
  ~DropTarget();
  DropTarget(const DropTarget&) = delete;
  DropTarget& operator=(const DropTarget&) = delete;

  // IUnknown. The owner holds the object; the count only keeps OLE's bookkeeping.
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;

  // IDropTarget
  HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* data, DWORD keys, POINTL point,
                                      DWORD* effect) override;
  HRESULT STDMETHODCALLTYPE DragOver(DWORD keys, POINTL point, DWORD* effect) override;
  HRESULT STDMETHODCALLTYPE DragLeave() override;
  HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD keys, POINTL point,
                                 DWORD* effect) override;

 private:
  // The effect to answer for what the source allows: a copy (or a link where only that is
  // allowed), never a move, which would have the source delete its file.
  DWORD EffectFor(DWORD allowed) const;

  HWND window_;
  Dropped dropped_;
  bool registered_ = false;
  bool holdsFiles_ = false;  // the data being dragged over offers CF_HDROP
  LONG references_ = 1;
};

}  // namespace vellumo::win32
