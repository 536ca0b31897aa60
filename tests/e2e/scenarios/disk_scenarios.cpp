// Saving onto a disk that fills up: the failure is shown with the platform's error number, the
// file keeps its previous content, and no temporary file is left behind.
#include <windows.h>

#include <vector>

#include "tests/e2e/driver/e2e.h"

namespace vellumo::e2e {
namespace {

// The small disk that tests/e2e/run.sh mounted, as a Windows folder ending in "\", or empty.
std::wstring FullDiskFolder() {
  wchar_t folder[MAX_PATH] = {};
  const DWORD n = GetEnvironmentVariableW(L"E2E_FULL_DISK", folder, MAX_PATH);
  return n > 0 && n < MAX_PATH ? std::wstring(folder, n) : std::wstring();
}

}  // namespace

E2E_SCENARIO(disk_full_save_keeps_the_old_file, "") {
  const std::wstring folder = FullDiskFolder();
  if (folder.empty()) Skip("no small disk was mounted for this run (mounting a tmpfs needs root)");
  const std::wstring path = folder + L"メモ.txt";
  const std::string old = "\x8c\xc3\x82\xa2\x93\xe0\x97\x65\r\n";  // 古い内容
  WriteFileBytes(path, old);

  Editor editor = StartEditor(QuoteArgument(path));
  WaitText(editor.main, DocumentCaption(L"メモ.txt"));
  WaitText(editor.memo, L"古い内容\r\n");

  // Far more than the 64 KiB the disk holds.
  std::wstring big;
  while (big.size() < 200000)
    big += L"ディスクがいっぱいになるまで書き込むテキスト。\r\n";
  SetText(editor.memo, big);
  PostCommand(editor.main, kFileSaveNormalId);

  HWND box = WaitDialog(editor.app, kFailureCaption);
  Screenshot("failure");
  const auto texts = StaticTexts(box);
  bool named = false;
  for (const auto& t : texts) {
    // ERROR_DISK_FULL (112) or ERROR_HANDLE_DISK_FULL (39): the last row of the message table.
    named = named || t == L"I/O エラー (112)" || t == L"I/O エラー (39)";
  }
  Check(named, "the failure box names the platform's disk-full error");
  ClickButton(WaitChild(box, {.className = L"Button"}));
  WaitGone(box);

  CheckEqual(std::optional<std::string>(old), ReadFileBytes(path), "the old file is intact");
  CheckEqual(std::vector<std::wstring>{L"メモ.txt"}, FilesIn(folder), "no temporary file is left");
  CheckEqual(DocumentCaption(L"メモ.txt"), TextOf(editor.main), "the caption is unchanged");
  CheckEqual(big, TextOf(editor.memo), "the edit area is unchanged");
  CloseEditor(editor);
}

}  // namespace vellumo::e2e
