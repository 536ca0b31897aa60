// Code page 932, the bytes of the programs' documents and of CF_TEXT: conversions for expected
// values, made with the system's own converter, independent of the program under test.
#pragma once

#include <string>
#include <string_view>

namespace vellumo::e2e {

std::string Cp932(std::wstring_view text);
std::wstring FromCp932(std::string_view bytes);

}  // namespace vellumo::e2e
