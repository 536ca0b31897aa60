#include "editor/in_out_error.h"

namespace vellumo {

std::string InOutErrorMessage(int code) {
  switch (code) {
    case 2:
      return "ファイルが見つかりません";
    case 3:
      return "不正なファイル名です";
    case 4:
      return "オープンしたファイルが多すぎます";
    case 5:
      return "ファイルへのアクセスが拒否されました";
    case 100:
      return "ファイルの末尾以降を読み込みました";
    case 101:
      return "ディスクがいっぱいです";
    case 106:
      return "入力値が数値ではありません";
    default:
      return "I/O エラー (" + std::to_string(code) + ")";
  }
}

void RaiseInOutError(int code) {
  throw EInOutError(InOutErrorMessage(code), code);
}

}  // namespace vellumo
