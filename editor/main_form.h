// The main window's logic (TMainForm): the document's location, its text files, and every file,
// edit, clipboard, key and About command. The window, its edit area, the dialogs and the
// clipboard are ports; this class decides, they only show and ask.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "app/message_box.h"
#include "cipher/cipher_form.h"
#include "cipher/text.h"
#include "editor/about_box.h"
#include "editor/clipboard.h"
#include "editor/edit_area.h"
#include "editor/file_dialogs.h"
#include "editor/hints.h"
#include "editor/main_window_port.h"
#include "platform/clock.h"
#include "platform/file_system.h"

namespace vellumo {

// The menu item, button or key that ran a command; handlers hand it on and never look at it.
using Sender = const void*;

// What TMainForm works through. Every reference must outlive the form.
struct MainFormPorts {
  IMainWindow& window;
  IEditArea& memo;
  IFileDialogs& dialogs;
  IClipboard& clipboard;
  IAboutBox& about;
  TCipherForm& cipher;
  IMessageBoxes& boxes;
  HintState& hints;
  IFileSystem& files;
  IClock& clock;
  std::string commandLine;  // the process command line, UTF-8, the program's name first
};

class TMainForm {
 public:
  explicit TMainForm(const MainFormPorts& ports);
  TMainForm(const TMainForm&) = delete;
  TMainForm& operator=(const TMainForm&) = delete;

  // The document's location: its path is always CurrentDir + CurrentFileName. An empty
  // CurrentDir means a document never saved (or one named without a folder).
  std::string CurrentDir;
  std::string CurrentFileName;

  // The window's creation handler: installs ShowHint as the application's hint handler.
  void FormCreate(Sender sender = nullptr);
  // Shows CurrentHint in the status line.
  void ShowHint(Sender sender = nullptr);
  // The first activation: opens the file named by the first command-line argument (decrypting a
  // ".qzv" one) or starts a new document. Later activations do nothing.
  void FormActivate(Sender sender = nullptr);
  // Files dropped on the window (paths in UTF-8): the first is opened as the start-up open opens
  // the command line's file; the others are ignored. Before the first activation, the dropped
  // file takes the place of the start-up open.
  void FilesDropped(const std::vector<std::string>& paths, Sender sender = nullptr);

  // File commands.
  void FileNew(Sender sender = nullptr);
  void FileOpen(Sender sender = nullptr);
  void FileOpenNormal(Sender sender = nullptr);
  void FileSave(Sender sender = nullptr);
  void FileSaveNormal(Sender sender = nullptr);
  void FileSaveAs(Sender sender = nullptr);
  void FileSaveAsNormal(Sender sender = nullptr);
  void FileExit(Sender sender = nullptr);

  // Edit, clipboard, key and About commands.
  void EditUndo(Sender sender = nullptr);
  void EditCut(Sender sender = nullptr);
  void EditCopy(Sender sender = nullptr);
  void EditPaste(Sender sender = nullptr);
  void EditCutNormal(Sender sender = nullptr);
  void EditCopyNormal(Sender sender = nullptr);
  void EditPasteNormal(Sender sender = nullptr);
  void EditSelectAll(Sender sender = nullptr);
  void EditKey(Sender sender = nullptr);
  void HelpAbout(Sender sender = nullptr);

  // Reads the document's file into out and names it in the caption. Always answers true; every
  // failure raises EInOutError, leaving out, caption and edit area as they were.
  bool FileOpenDo(Text& out);
  // Replaces the document's file with text and names it in the caption. Always answers true; every
  // failure raises EInOutError and leaves the old file as it was.
  bool FileSaveDo(TextView text);

  // The edit area.
  IEditArea& Memo1;

 private:
  void SetLocation(const std::string& path);
  // The start-up open of a path: read, decrypted when its extension is ".qzv" (a cancelled key
  // request leaves the text as read), put into the edit area.
  void OpenAsAtStartup(const std::string& path);
  std::string DocumentPath() const { return CurrentDir + CurrentFileName; }
  // Where PutText puts a text.
  enum class Into { WholeText, Selection };
  // Puts a text into the edit area up to its first zero byte: as its whole content, unless it
  // already holds it, or in place of the selection.
  void PutText(TextView text, Into where);
  // The whole text, or the selection, for a command that writes it out (a save, an encrypting
  // cut or copy). When characters in it have no code page 932 form, first asks whether they may
  // become "?"; nothing when the user declines.
  std::optional<Text> TextToWrite(bool selectionOnly);

  IMainWindow& window_;
  IFileDialogs& dialogs_;
  IClipboard& clipboard_;
  IAboutBox& about_;
  TCipherForm& cipher_;
  IMessageBoxes& boxes_;
  HintState& hints_;
  IFileSystem& files_;
  IClock& clock_;
  std::string commandLine_;
  bool activated_ = false;
};

}  // namespace vellumo
