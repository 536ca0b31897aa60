#include "platform/win32/unicode.h"

#include <windows.h>

#include <algorithm>
#include <climits>

namespace vellumo {
namespace {

constexpr UINT kJapanese = 932;

std::wstring ToWide(UINT codePage, std::string_view bytes) {
  std::wstring wide;
  // Converted in pieces below INT_MAX so that any length works.
  constexpr std::size_t kPiece = 1u << 30;
  std::size_t done = 0;
  while (done < bytes.size()) {
    std::size_t n = std::min(kPiece, bytes.size() - done);
    // Never split a double-byte character between pieces.
    if (codePage == kJapanese && done + n < bytes.size()) {
      std::size_t lead = 0;
      for (std::size_t i = 0; i < n; ++i) {
        const auto c = static_cast<unsigned char>(bytes[done + i]);
        if (lead) {
          lead = 0;
        } else if ((c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC)) {
          lead = 1;
        }
      }
      if (lead) --n;
    }
    const char* src = bytes.data() + done;
    const int need = MultiByteToWideChar(codePage, 0, src, static_cast<int>(n), nullptr, 0);
    const std::size_t at = wide.size();
    wide.resize(at + static_cast<std::size_t>(need));
    MultiByteToWideChar(codePage, 0, src, static_cast<int>(n), wide.data() + at, need);
    done += n;
  }
  return wide;
}

std::string FromWide(UINT codePage, std::wstring_view wide, bool* usedDefault) {
  std::string bytes;
  if (usedDefault) *usedDefault = false;
  constexpr std::size_t kPiece = 1u << 28;
  std::size_t done = 0;
  while (done < wide.size()) {
    std::size_t n = std::min(kPiece, wide.size() - done);
    // Never split a surrogate pair between pieces.
    if (done + n < wide.size() && IS_HIGH_SURROGATE(wide[done + n - 1])) --n;
    const wchar_t* src = wide.data() + done;
    BOOL defaulted = FALSE;
    BOOL* defaultedPtr = codePage == CP_UTF8 ? nullptr : &defaulted;
    const int need =
        WideCharToMultiByte(codePage, 0, src, static_cast<int>(n), nullptr, 0, nullptr, nullptr);
    const std::size_t at = bytes.size();
    bytes.resize(at + static_cast<std::size_t>(need));
    WideCharToMultiByte(codePage, 0, src, static_cast<int>(n), bytes.data() + at, need, nullptr,
                        defaultedPtr);
    if (usedDefault && defaulted) *usedDefault = true;
    done += n;
  }
  return bytes;
}

}  // namespace

std::wstring Utf8ToWide(std::string_view utf8) {
  return ToWide(CP_UTF8, utf8);
}
std::string WideToUtf8(std::wstring_view wide) {
  return FromWide(CP_UTF8, wide, nullptr);
}
std::wstring Cp932ToWide(std::string_view cp932) {
  return ToWide(kJapanese, cp932);
}
std::string WideToCp932(std::wstring_view wide, bool* usedDefault) {
  return FromWide(kJapanese, wide, usedDefault);
}

}  // namespace vellumo
