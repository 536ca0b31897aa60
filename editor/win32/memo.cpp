#include "editor/win32/memo.h"

#include <algorithm>
#include <memory>

#include "app/win32/application.h"
#include "platform/cp932.h"
#include "platform/win32/unicode.h"

namespace vellumo::win32 {
namespace {

constexpr int kFontHeight = 15;

}  // namespace

Memo::Memo(HWND parent) {
  // Lines wrap (no ES_AUTOHSCROLL, no horizontal scroll bar); the selection hides without the
  // focus (no ES_NOHIDESEL).
  hwnd_ = CreateWindowExW(
      WS_EX_CLIENTEDGE, L"EDIT", L"",
      WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN | ES_LEFT,
      0, 0, 0, 0, parent, nullptr, Application::Instance().InstanceHandle(), nullptr);
  SendMessageW(hwnd_, EM_LIMITTEXT, 0, 0);  // the largest the control allows
}

void Memo::SetDpi(UINT dpi) {
  font_.Reset(CreateGothicFont(kFontHeight, dpi));
  SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(font_.Get()), TRUE);
}

std::u16string Memo::WideText() const {
  const int length = GetWindowTextLengthW(hwnd_);
  std::u16string text(static_cast<std::size_t>(length) + 1, u'\0');
  text.resize(static_cast<std::size_t>(GetWindowTextW(hwnd_, AsWide(text.data()), length + 1)));
  return text;
}

Text Memo::ToCp932(std::u16string_view whole, std::size_t start, std::size_t end,
                   std::optional<UnmappableCharacter>* unmappable) {
  Text bytes;
  const std::size_t lost = Utf16ToCp932(whole.substr(start, end - start), bytes);
  if (unmappable) {
    unmappable->reset();
    if (lost != kAllConverted) *unmappable = DescribeUnmappable(whole, start + lost);
  }
  return bytes;
}

Text Memo::GetText(std::optional<UnmappableCharacter>* unmappable) {
  const std::u16string text = WideText();
  return ToCp932(text, 0, text.size(), unmappable);
}

// The UTF-16 form of text, zero-terminated, in a buffer that is not filled beforehand: room for
// a unit per byte is allocated, and the pages that a text of double-byte characters leaves
// unused are never touched, so they never count towards the process's memory.
std::unique_ptr<char16_t[]> Memo::ToUtf16(TextView text) {
  std::unique_ptr<char16_t[]> wide(new char16_t[text.size() + 1]);
  wide[Cp932ToUtf16(text, wide.get())] = u'\0';
  return wide;
}

void Memo::SetText(TextView text) {
  SetWindowTextW(hwnd_, AsWide(ToUtf16(text).get()));
}

Text Memo::GetSelectedText(std::optional<UnmappableCharacter>* unmappable) {
  if (unmappable) unmappable->reset();
  DWORD start = 0, end = 0;
  SendMessageW(hwnd_, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  if (end <= start) return {};
  const std::u16string text = WideText();
  if (start >= text.size()) return {};
  return ToCp932(text, start, std::min<std::size_t>(end, text.size()), unmappable);
}

void Memo::ReplaceSelection(TextView text) {
  SendMessageW(hwnd_, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(AsWide(ToUtf16(text).get())));
  // Whatever the control could undo before is dropped too, so Undo never brings back what this
  // replacement removed.
  SendMessageW(hwnd_, EM_EMPTYUNDOBUFFER, 0, 0);
}

void Memo::Undo() {
  SendMessageW(hwnd_, WM_UNDO, 0, 0);
}
void Memo::Cut() {
  SendMessageW(hwnd_, WM_CUT, 0, 0);
}
void Memo::Copy() {
  SendMessageW(hwnd_, WM_COPY, 0, 0);
}
void Memo::Paste() {
  SendMessageW(hwnd_, WM_PASTE, 0, 0);
}
void Memo::SelectAll() {
  SendMessageW(hwnd_, EM_SETSEL, 0, -1);
}

}  // namespace vellumo::win32
