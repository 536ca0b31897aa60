#include "editor/main_form.h"

#include "app/command_line.h"
#include "editor/document_path.h"
#include "editor/text_file.h"

namespace vellumo {

TMainForm::TMainForm(const MainFormPorts& ports)
    : Memo1(ports.memo),
      window_(ports.window),
      dialogs_(ports.dialogs),
      clipboard_(ports.clipboard),
      about_(ports.about),
      cipher_(ports.cipher),
      boxes_(ports.boxes),
      hints_(ports.hints),
      files_(ports.files),
      clock_(ports.clock),
      commandLine_(ports.commandLine) {}

void TMainForm::FormCreate(Sender) {
  hints_.OnHint = [this] { ShowHint(); };
}

void TMainForm::ShowHint(Sender) {
  window_.SetStatusText(hints_.CurrentHint());
}

void TMainForm::SetLocation(const std::string& path) {
  PathParts parts = SplitPath(path);
  CurrentDir = std::move(parts.dir);
  CurrentFileName = std::move(parts.name);
}

void TMainForm::PutText(TextView text, Into where) {
  // The one place where a text is cut at its first zero byte: the edit area holds none.
  text = UpToZero(text);
  if (where == Into::Selection) {
    Memo1.ReplaceSelection(text);
    return;
  }
  // An edit area whose characters do not all have a code page 932 form does not hold the text,
  // even where its "?" would make the bytes equal.
  std::optional<UnmappableCharacter> unmappable;
  if (Memo1.GetText(&unmappable) == text && !unmappable) return;
  Memo1.SetText(text);
}

std::optional<Text> TMainForm::TextToWrite(bool selectionOnly) {
  std::optional<UnmappableCharacter> unmappable;
  Text text = selectionOnly ? Memo1.GetSelectedText(&unmappable) : Memo1.GetText(&unmappable);
  if (unmappable && boxes_.ShowMessageBox(UnmappableQuestion(*unmappable), MessageKind::Warning,
                                          kOkCancel, 0) != kResultOk) {
    return std::nullopt;
  }
  return text;
}

bool TMainForm::FileOpenDo(Text& out) {
  out = ReadTextFile(files_, DocumentPath());
  window_.SetCaption(DocumentCaption(CurrentFileName));
  return true;
}

bool TMainForm::FileSaveDo(TextView text) {
  WriteTextFile(files_, DocumentPath(), text);
  window_.SetCaption(DocumentCaption(CurrentFileName));
  return true;
}

void TMainForm::FormActivate(Sender sender) {
  if (activated_) return;
  activated_ = true;
  const std::string argument = FirstArgument(commandLine_);
  if (argument.empty()) {
    FileNew(sender);
    return;
  }
  OpenAsAtStartup(argument);
}

void TMainForm::FilesDropped(const std::vector<std::string>& paths, Sender) {
  if (paths.empty() || paths.front().empty()) return;
  activated_ = true;
  OpenAsAtStartup(paths.front());
}

void TMainForm::OpenAsAtStartup(const std::string& path) {
  SetLocation(path);
  const bool encrypted = IsEncryptedExtension(PathExtension(path));
  Text text;
  FileOpenDo(text);
  // Decrypted in place: a cancelled key request leaves the file's text as read; text that does
  // not decode is emptied.
  if (encrypted) cipher_.DecryptText(text, text);
  PutText(text, Into::WholeText);
}

void TMainForm::FileNew(Sender) {
  CurrentDir.clear();
  CurrentFileName = DefaultFileName(clock_);
  Memo1.SetText({});
  window_.SetCaption(DocumentCaption(CurrentFileName));
}

void TMainForm::FileOpen(Sender) {
  const auto path = dialogs_.ShowOpenDialog();
  if (!path) return;
  SetLocation(*path);
  // Decrypted in place. Whatever decryption answers, its output goes into the edit area: empty
  // after a cancelled key request or text that does not decode.
  Text text;
  FileOpenDo(text);
  if (!cipher_.DecryptText(text, text)) text.clear();
  PutText(text, Into::WholeText);
}

void TMainForm::FileOpenNormal(Sender) {
  const auto path = dialogs_.ShowOpenDialog();
  if (!path) return;
  SetLocation(*path);
  Text text;
  FileOpenDo(text);
  PutText(text, Into::WholeText);
}

void TMainForm::FileSave(Sender sender) {
  if (CurrentDir.empty()) {
    FileSaveAs(sender);
    return;
  }
  // Asked before the key, so that declining never shows the key dialog.
  const auto text = TextToWrite(false);
  if (!text) return;
  Text encrypted;
  if (!cipher_.EncryptText(*text, encrypted)) return;
  FileSaveDo(encrypted);
}

void TMainForm::FileSaveNormal(Sender sender) {
  if (CurrentDir.empty()) {
    FileSaveAsNormal(sender);
    return;
  }
  const auto text = TextToWrite(false);
  if (!text) return;
  FileSaveDo(*text);
}

void TMainForm::FileSaveAs(Sender) {
  const auto path = dialogs_.ShowSaveDialog(CurrentFileName);
  if (!path) return;
  SetLocation(*path);
  // Declining the question, like cancelling the key, keeps the new location and the old caption.
  const auto text = TextToWrite(false);
  if (!text) return;
  Text encrypted;
  if (!cipher_.EncryptText(*text, encrypted)) return;
  FileSaveDo(encrypted);
}

void TMainForm::FileSaveAsNormal(Sender) {
  const auto path = dialogs_.ShowSaveDialog(CurrentFileName);
  if (!path) return;
  SetLocation(*path);
  const auto text = TextToWrite(false);
  if (!text) return;
  FileSaveDo(*text);
}

void TMainForm::FileExit(Sender) {
  window_.Close();
}

void TMainForm::EditUndo(Sender) {
  Memo1.Undo();
}

void TMainForm::EditCut(Sender) {
  // The key is asked for before the clipboard is opened, and the selection is removed only once
  // the clipboard holds its encrypted form.
  const auto text = TextToWrite(true);
  if (!text) return;
  Text encrypted;
  if (!cipher_.EncryptText(*text, encrypted)) return;
  // The encoded form holds no zero byte, and neither does the edit area's text an empty key hands
  // back.
  clipboard_.SetClipboardText(encrypted);
  Memo1.ReplaceSelection({});
}

void TMainForm::EditCopy(Sender) {
  const auto text = TextToWrite(true);
  if (!text) return;
  Text encrypted;
  if (!cipher_.EncryptText(*text, encrypted)) return;
  clipboard_.SetClipboardText(encrypted);
}

void TMainForm::EditPaste(Sender) {
  // The clipboard is read and closed before the key is asked for.
  const Text encoded = clipboard_.GetClipboardText();
  Text plain;
  if (!cipher_.DecryptText(encoded, plain)) return;
  PutText(plain, Into::Selection);
}

void TMainForm::EditCutNormal(Sender) {
  Memo1.Cut();
}
void TMainForm::EditCopyNormal(Sender) {
  Memo1.Copy();
}
void TMainForm::EditPasteNormal(Sender) {
  Memo1.Paste();
}
void TMainForm::EditSelectAll(Sender) {
  Memo1.SelectAll();
}
void TMainForm::EditKey(Sender) {
  (void)cipher_.ChangeKey();
}
void TMainForm::HelpAbout(Sender) {
  about_.ShowModal();
}

}  // namespace vellumo
