#include "editor/win32/drop_target.h"

#include <shlobj.h>

#include <cstring>
#include <utility>

namespace vellumo::win32 {
namespace {

FORMATETC FilesFormat() {
  return FORMATETC{CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
}

// The paths of a CF_HDROP block (a DROPFILES header, then zero-terminated paths ended by an
// empty one), read within the block's size: whatever the dragging program put there, only
// complete paths are taken.
std::vector<std::wstring> PathsOf(HGLOBAL block) {
  std::vector<std::wstring> paths;
  const SIZE_T size = GlobalSize(block);
  const auto* bytes = static_cast<const char*>(GlobalLock(block));
  if (!bytes) return paths;
  DROPFILES header{};
  if (size >= sizeof(header)) std::memcpy(&header, bytes, sizeof(header));
  if (size >= sizeof(header) && header.pFiles >= sizeof(header) && header.pFiles < size) {
    const char* at = bytes + header.pFiles;
    const char* end = bytes + size;
    if (header.fWide) {
      std::wstring path;
      for (; end - at >= 2; at += 2) {
        wchar_t unit;
        std::memcpy(&unit, at, sizeof(unit));
        if (unit != L'\0') {
          path += unit;
        } else if (path.empty()) {
          break;
        } else {
          paths.push_back(std::move(path));
          path.clear();
        }
      }
    } else {
      for (const char* start = at; at < end; ++at) {
        if (*at != '\0') continue;
        if (at == start) break;
        const int length = static_cast<int>(at - start);
        std::wstring path(MultiByteToWideChar(CP_ACP, 0, start, length, nullptr, 0), L'\0');
        MultiByteToWideChar(CP_ACP, 0, start, length, path.data(), static_cast<int>(path.size()));
        if (!path.empty()) paths.push_back(std::move(path));
        start = at + 1;
      }
    }
  }
  GlobalUnlock(block);
  return paths;
}

}  // namespace

DropTarget::DropTarget(HWND window, Dropped dropped)
    : window_(window), dropped_(std::move(dropped)) {
  registered_ = SUCCEEDED(RegisterDragDrop(window_, this));
}

DropTarget::~DropTarget() {
  if (!registered_) return;
  RevokeDragDrop(window_);
  // A program still dragging over the window holds a proxy; cut it off before this object goes.
  CoDisconnectObject(static_cast<IDropTarget*>(this), 0);
}

HRESULT DropTarget::QueryInterface(REFIID iid, void** object) {
  if (!object) return E_POINTER;
  if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDropTarget)) {
    *object = static_cast<IDropTarget*>(this);
    AddRef();
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

ULONG DropTarget::AddRef() {
  return static_cast<ULONG>(InterlockedIncrement(&references_));
}

ULONG DropTarget::Release() {
  return static_cast<ULONG>(InterlockedDecrement(&references_));
}

DWORD DropTarget::EffectFor(DWORD allowed) const {
  // A modal window disables the main window: no drop until it has closed.
  if (!holdsFiles_ || !IsWindowEnabled(window_)) return DROPEFFECT_NONE;
  if (allowed & DROPEFFECT_COPY) return DROPEFFECT_COPY;
  if (allowed & DROPEFFECT_LINK) return DROPEFFECT_LINK;
  return DROPEFFECT_NONE;
}

HRESULT DropTarget::DragEnter(IDataObject* data, DWORD, POINTL, DWORD* effect) {
  if (!effect) return E_INVALIDARG;
  FORMATETC format = FilesFormat();
  holdsFiles_ = data && data->QueryGetData(&format) == S_OK;
  *effect = EffectFor(*effect);
  return S_OK;
}

HRESULT DropTarget::DragOver(DWORD, POINTL, DWORD* effect) {
  if (!effect) return E_INVALIDARG;
  *effect = EffectFor(*effect);
  return S_OK;
}

HRESULT DropTarget::DragLeave() {
  holdsFiles_ = false;
  return S_OK;
}

HRESULT DropTarget::Drop(IDataObject* data, DWORD, POINTL, DWORD* effect) {
  if (!effect) return E_INVALIDARG;
  if (data) {
    FORMATETC format = FilesFormat();
    holdsFiles_ = data->QueryGetData(&format) == S_OK;
  }
  *effect = EffectFor(*effect);
  holdsFiles_ = false;
  if (*effect == DROPEFFECT_NONE) return S_OK;
  FORMATETC format = FilesFormat();
  STGMEDIUM medium{};
  if (FAILED(data->GetData(&format, &medium))) {
    *effect = DROPEFFECT_NONE;
    return S_OK;
  }
  HRESULT result = S_OK;
  try {
    std::vector<std::wstring> paths;
    if (medium.tymed == TYMED_HGLOBAL && medium.hGlobal) paths = PathsOf(medium.hGlobal);
    if (paths.empty()) {
      *effect = DROPEFFECT_NONE;
    } else {
      dropped_(std::move(paths));
    }
  } catch (...) {
    // No failure box here: the dragging program waits for this call to return.
    *effect = DROPEFFECT_NONE;
    result = E_UNEXPECTED;
  }
  ReleaseStgMedium(&medium);
  return result;
}

}  // namespace vellumo::win32
