// The texts of the key request and of a failed decryption, shared by the editor's key dialog and
// the command-line tool.
#pragma once

namespace vellumo {

inline constexpr const char* kAskKeyCaption = "「鍵」の入力";
inline constexpr const char* kChangeKeyCaption = "「鍵」の変更";
inline constexpr const char* kEmptyKeyWarning =
    "「鍵」がありません。\r\n（テキストは暗号化も解読もされません。）";
inline constexpr const char* kDecryptFailedMessage = "解読に失敗しました。";

}  // namespace vellumo
