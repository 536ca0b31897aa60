#include "editor/win32/clipboard_win32.h"

#include <windows.h>

#include <cstring>
#include <new>

#include "app/win32/application.h"
#include "platform/cp932.h"
#include "platform/win32/unicode.h"

namespace vellumo::win32 {
namespace {

// Holds the clipboard open for one operation and closes it on every way out.
class OpenedClipboard {
 public:
  OpenedClipboard() {
    if (!OpenClipboard(Application::Instance().Handle())) RaiseClipboardOpenFailure();
  }
  ~OpenedClipboard() { CloseClipboard(); }
  OpenedClipboard(const OpenedClipboard&) = delete;
  OpenedClipboard& operator=(const OpenedClipboard&) = delete;
};

// A global memory block that is freed unless the clipboard has taken it over.
class GlobalBlock {
 public:
  explicit GlobalBlock(std::size_t size)
      : block_(GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, size)) {
    if (!block_) throw std::bad_alloc();
  }
  ~GlobalBlock() {
    if (block_) GlobalFree(block_);
  }
  GlobalBlock(const GlobalBlock&) = delete;
  GlobalBlock& operator=(const GlobalBlock&) = delete;
  HGLOBAL Get() const { return block_; }
  HGLOBAL Release() {
    HGLOBAL b = block_;
    block_ = nullptr;
    return b;
  }

 private:
  HGLOBAL block_;
};

// Copies size bytes into the block, at offset bytes from its start.
void Fill(const GlobalBlock& block, const void* data, std::size_t size, std::size_t offset = 0) {
  auto* p = static_cast<char*>(GlobalLock(block.Get()));
  if (!p) throw std::bad_alloc();
  std::memcpy(p + offset, data, size);
  GlobalUnlock(block.Get());
}

void Put(UINT format, GlobalBlock& block) {
  if (!SetClipboardData(format, block.Get())) {
    throw Failure("クリップボードにテキストを置くことができません");
  }
  block.Release();  // the clipboard owns it now
}

// Reads a clipboard block of characters up to its first zero, never past the block's end: data
// put there by another program is not trusted to be terminated.
template <class Char>
std::basic_string<Char> ReadBlock(HANDLE data) {
  std::basic_string<Char> text;
  if (!data) return text;
  const std::size_t count = GlobalSize(data) / sizeof(Char);
  const auto* p = static_cast<const Char*>(GlobalLock(data));
  if (!p) return text;
  std::size_t n = 0;
  while (n < count && p[n] != 0)
    ++n;
  text.assign(p, n);
  GlobalUnlock(data);
  return text;
}

}  // namespace

void Clipboard::SetClipboardText(TextView text) {
  // The Unicode form is made here with the program's own conversion, not left to the system:
  // the system's conversion differs between Windows versions and Wine, and would lose the bytes
  // that are no character, which the placeholders keep for the program's own paste.
  const std::u16string wide = Cp932ToUtf16(text);
  OpenedClipboard opened;
  GlobalBlock bytes(text.size() + 1);
  Fill(bytes, text.data(), text.size());
  Fill(bytes, "", 1, text.size());
  GlobalBlock unicode((wide.size() + 1) * sizeof(char16_t));
  Fill(unicode, wide.c_str(), (wide.size() + 1) * sizeof(char16_t));
  // The text is code page 932 whatever the system's own code page. Saying so with CF_LOCALE
  // (Japanese) makes other programs read it right on any Windows.
  GlobalBlock locale(sizeof(LCID));
  const LCID japanese = MAKELCID(MAKELANGID(LANG_JAPANESE, SUBLANG_JAPANESE_JAPAN), SORT_DEFAULT);
  Fill(locale, &japanese, sizeof(japanese));
  EmptyClipboard();
  Put(CF_TEXT, bytes);
  Put(CF_UNICODETEXT, unicode);
  Put(CF_LOCALE, locale);
}

Text Clipboard::GetClipboardText() {
  OpenedClipboard opened;
  // Unicode text first: the system converts another program's CF_TEXT with that program's code
  // page, which need not be 932, so the Unicode form is the one that is right on any Windows.
  // Characters without a code page 932 form become "?", as the paste shows them.
  if (IsClipboardFormatAvailable(CF_UNICODETEXT)) {
    const std::wstring wide = ReadBlock<wchar_t>(GetClipboardData(CF_UNICODETEXT));
    Text text;
    Utf16ToCp932(AsUtf16(wide), text);
    return text;
  }
  if (IsClipboardFormatAvailable(CF_TEXT)) return ReadBlock<char>(GetClipboardData(CF_TEXT));
  return {};
}

}  // namespace vellumo::win32
