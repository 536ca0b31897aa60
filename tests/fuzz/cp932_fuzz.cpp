// The code page 932 conversions over arbitrary bytes, checked against a character-at-a-time
// reading of the generated table: the input as code page 932 bytes decoded (placeholders and
// all), encoded back (byte for byte, but for decode-only codes) and converted strictly to UTF-8;
// and the same bytes as UTF-16 units encoded, with the first character that has no form.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <map>
#include <string>

#include "fuzz_support.h"
#include "platform/cp932.h"
#include "platform/cp932_table.h"
#include "platform/utf8.h"

namespace vellumo::fuzz {
namespace {

bool IsLead(std::uint8_t b) {
  return cp932_table::kSingles[b] == cp932_table::kLeadByte;
}

int LeadRow(std::uint8_t b) {
  return b < 0xA0 ? b - 0x81 : b - 0xE0 + 31;
}

// The character at bytes[i] and its length; a byte that starts none gives its placeholder.
char16_t ReferenceDecodeAt(std::string_view bytes, std::size_t i, std::size_t& length) {
  const auto b = static_cast<std::uint8_t>(bytes[i]);
  length = 1;
  if (!IsLead(b)) return cp932_table::kSingles[b];
  if (i + 1 < bytes.size()) {
    const auto trail = static_cast<std::uint8_t>(bytes[i + 1]);
    if (trail >= 0x40 && trail <= 0xFC) {
      const char16_t c = cp932_table::kPairs[LeadRow(b) * cp932_table::kTrailCount + trail - 0x40];
      if (c != cp932_table::kNoCharacter) {
        length = 2;
        return c;
      }
    }
  }
  return static_cast<char16_t>(0xDC00 + b);
}

// The code written for each character: its code that is not decode-only.
const std::map<char16_t, std::string>& ReferenceCodes() {
  static const auto codes = [] {
    std::map<char16_t, std::string> m;
    for (unsigned code = 0; code < 0x10000; ++code) {
      const std::string bytes =
          code < 0x100 ? std::string(1, static_cast<char>(code))
                       : std::string{static_cast<char>(code >> 8), static_cast<char>(code & 0xFF)};
      std::size_t length = 0;
      const char16_t c = ReferenceDecodeAt(bytes, 0, length);
      const bool onlyDecoded =
          std::find(std::begin(cp932_table::kDecodeOnly), std::end(cp932_table::kDecodeOnly),
                    code) != std::end(cp932_table::kDecodeOnly);
      if (length != bytes.size() || (c >= 0xDC80 && c <= 0xDCFF) || onlyDecoded) continue;
      m.emplace(c, bytes);
    }
    for (unsigned b = 0x80; b < 0x100; ++b)
      m.emplace(static_cast<char16_t>(0xDC00 + b), std::string(1, static_cast<char>(b)));
    return m;
  }();
  return codes;
}

void CheckBytes(std::string_view bytes) {
  const auto& codes = ReferenceCodes();
  std::u16string expected;
  std::string expectedBack;  // each decode-only code in the code written for its character
  bool placeholder = false;
  for (std::size_t i = 0, length = 0; i < bytes.size(); i += length) {
    const char16_t c = ReferenceDecodeAt(bytes, i, length);
    placeholder = placeholder || (c >= 0xDC80 && c <= 0xDCFF);
    expected += c;
    expectedBack += codes.at(c);
  }
  const std::u16string units = Cp932ToUtf16(bytes);
  FUZZ_CHECK(units == expected);

  std::string back;
  FUZZ_CHECK(Utf16ToCp932(units, back) == kAllConverted);
  FUZZ_CHECK(back == expectedBack);

  std::string utf8;
  const Cp932Conversion strict = Cp932ToUtf8(bytes, utf8);
  FUZZ_CHECK(strict.ok == !placeholder);
  if (strict.ok) {
    FUZZ_CHECK(Utf8ToUtf16(utf8) == units);
    std::string again;
    FUZZ_CHECK(Utf8ToCp932(utf8, again).ok);
    FUZZ_CHECK(again == back);
  }
}

bool IsHigh(char16_t c) {
  return c >= 0xD800 && c <= 0xDBFF;
}
bool IsLow(char16_t c) {
  return c >= 0xDC00 && c <= 0xDFFF;
}

void CheckUnits(std::u16string_view units) {
  const auto& codes = ReferenceCodes();
  std::string expected;
  std::size_t firstLost = kAllConverted;
  for (std::size_t i = 0; i < units.size(); ++i) {
    const auto code = codes.find(units[i]);
    if (code != codes.end()) {
      expected += code->second;
      continue;
    }
    if (firstLost == kAllConverted) firstLost = i;
    expected += '?';
    if (IsHigh(units[i]) && i + 1 < units.size() && IsLow(units[i + 1])) ++i;
  }
  std::string out;
  FUZZ_CHECK(Utf16ToCp932(units, out) == firstLost);
  FUZZ_CHECK(out == expected);
}

}  // namespace
}  // namespace vellumo::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace vellumo::fuzz;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  CheckBytes(bytes);
  std::u16string units(size / 2, u'\0');
  for (std::size_t i = 0; i < units.size(); ++i)
    units[i] = static_cast<char16_t>(data[2 * i] | (data[2 * i + 1] << 8));
  CheckUnits(units);
  return 0;
}
