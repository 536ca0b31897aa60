#include "tests/e2e/driver/drag.h"

#include <shlobj.h>

#include <chrono>
#include <cstring>

#include "tests/e2e/driver/input.h"
#include "tests/e2e/driver/scenario.h"

namespace vellumo::e2e {
namespace {

FORMATETC FilesFormat() {
  return FORMATETC{CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
}

// A COM object that lives on the driver's stack for one drag: the counts only serve OLE.
template <class Interface>
class StackObject : public Interface {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (!object) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, __uuidof(Interface))) {
      *object = static_cast<Interface*>(this);
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
};

// Offers one CF_HDROP block, a fresh copy for every GetData.
class FilesData final : public StackObject<IDataObject> {
 public:
  explicit FilesData(const std::string& block) : block_(block) {}

  HRESULT STDMETHODCALLTYPE GetData(FORMATETC* format, STGMEDIUM* medium) override {
    if (!format || !medium) return E_INVALIDARG;
    if (QueryGetData(format) != S_OK) return DV_E_FORMATETC;
    HGLOBAL copy = GlobalAlloc(GMEM_MOVEABLE, block_.size());
    if (!copy) return E_OUTOFMEMORY;
    std::memcpy(GlobalLock(copy), block_.data(), block_.size());
    GlobalUnlock(copy);
    medium->tymed = TYMED_HGLOBAL;
    medium->hGlobal = copy;
    medium->pUnkForRelease = nullptr;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* format) override {
    if (!format) return E_INVALIDARG;
    return format->cfFormat == CF_HDROP && (format->tymed & TYMED_HGLOBAL) ? S_OK : DV_E_FORMATETC;
  }
  HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) override {
    if (out) out->ptd = nullptr;
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD direction, IEnumFORMATETC** formats) override {
    if (direction != DATADIR_GET) return E_NOTIMPL;
    FORMATETC format = FilesFormat();
    return SHCreateStdEnumFmtEtc(1, &format, formats);
  }
  HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override {
    return OLE_E_ADVISENOTSUPPORTED;
  }
  HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
  HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) override {
    return OLE_E_ADVISENOTSUPPORTED;
  }

 private:
  const std::string& block_;
};

// Holds the pointer on the target and lets go (drops) once the window there has answered the
// drag twice with the pointer on it; gives up when that takes too long.
class DropAtTarget final : public StackObject<IDropSource> {
 public:
  DropAtTarget(POINT target, Millis limit)
      : target_(target), deadline_(std::chrono::steady_clock::now() + limit) {}

  bool timedOut = false;

  HRESULT STDMETHODCALLTYPE QueryContinueDrag(BOOL escape, DWORD) override {
    if (escape) return DRAGDROP_S_CANCEL;
    if (std::chrono::steady_clock::now() > deadline_) {
      timedOut = true;
      return DRAGDROP_S_CANCEL;
    }
    POINT at{};
    GetCursorPos(&at);
    if (at.x != target_.x || at.y != target_.y) {
      // Wine's pointer went back to an older place: put it on the target again.
      SetCursorPos(target_.x, target_.y);
      answers_ = 0;
    }
    return answers_ >= 2 ? DRAGDROP_S_DROP : S_OK;
  }
  HRESULT STDMETHODCALLTYPE GiveFeedback(DWORD) override {
    POINT at{};
    GetCursorPos(&at);
    if (at.x == target_.x && at.y == target_.y) ++answers_;
    return DRAGDROP_S_USEDEFAULTCURSORS;
  }

 private:
  POINT target_;
  std::chrono::steady_clock::time_point deadline_;
  int answers_ = 0;
};

}  // namespace

std::string FileDropBlock(const std::vector<std::wstring>& paths) {
  DROPFILES header{};
  header.pFiles = sizeof(header);
  header.fWide = TRUE;
  std::string block(reinterpret_cast<const char*>(&header), sizeof(header));
  for (const std::wstring& path : paths) {
    block.append(reinterpret_cast<const char*>(path.c_str()), (path.size() + 1) * sizeof(wchar_t));
  }
  block.append(sizeof(wchar_t), '\0');
  return block;
}

DWORD DragFileBlock(const std::string& block, POINT target, DWORD allowed, Where where) {
  const HRESULT ole = OleInitialize(nullptr);
  Require(SUCCEEDED(ole), "OLE is initialized for the drag", where);
  MoveMouse(target);
  FilesData data(block);
  DropAtTarget source(target, Scaled(kDefaultTimeout));
  DWORD effect = DROPEFFECT_NONE;
  const HRESULT result = DoDragDrop(&data, &source, allowed, &effect);
  OleUninitialize();
  if (source.timedOut) Abort("the window under the pointer never answered the drag", where);
  Trace("drag: DoDragDrop answered " + std::to_string(result) + ", effect " +
        std::to_string(effect));
  Check(result == DRAGDROP_S_DROP || result == DRAGDROP_S_CANCEL, "DoDragDrop ended the drag",
        where);
  // Not asked for: the source would then delete its file.
  Check(!(effect & ~allowed), "the effect is one the source allowed", where);
  return effect;
}

DWORD DragFiles(const std::vector<std::wstring>& paths, POINT target, DWORD allowed, Where where) {
  return DragFileBlock(FileDropBlock(paths), target, allowed, where);
}

}  // namespace vellumo::e2e
