// The POSIX file system: the Windows error numbers it reports, the write probe, temporary files
// beside the target, replacing, and paths that must never name another file.
#include <errno.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "editor_fakes.h"
#include "platform/file_system.h"
#include "platform/posix/errno_map.h"

namespace vellumo {
namespace {

using testing::ScratchFolder;

IFileSystem& Files() {
  return SystemFileSystem();
}

TEST(PosixFileSystem, ErrnoMapsOntoWindowsNumbers) {
  const std::pair<int, int> cases[] = {
      {ENOENT, 2}, {ENOTDIR, 3},  {EMFILE, 4},   {EACCES, 5},         {EPERM, 5}, {EROFS, 5},
      {EBUSY, 32}, {ETXTBSY, 32}, {ENOSPC, 112}, {ENAMETOOLONG, 206}, {EIO, 31},  {EINVAL, 31},
  };
  for (const auto& [error, code] : cases)
    EXPECT_EQ(Win32ErrorFromErrno(error), code) << error;
}

TEST(PosixFileSystem, OpenReadErrors) {
  ScratchFolder folder;
  folder.Write("a.txt", "x");
  std::unique_ptr<IFile> file;
  EXPECT_EQ(Files().OpenRead(folder / "none.txt", file), kErrorFileNotFound);
  EXPECT_EQ(Files().OpenRead(folder / "no/none.txt", file), kErrorPathNotFound);
  EXPECT_EQ(Files().OpenRead(folder / "a.txt/b", file), kErrorPathNotFound);
  EXPECT_EQ(Files().OpenRead(folder.Path().string(), file), kErrorAccessDenied);
  EXPECT_EQ(file, nullptr);
}

TEST(PosixFileSystem, ProbeWriteTellsWhatAWriteOpenWouldAnswer) {
  ScratchFolder folder;
  folder.Write("a.txt", "x");
  folder.Write("ro.txt", "x");
  ASSERT_EQ(chmod((folder / "ro.txt").c_str(), 0444), 0);
  ASSERT_EQ(symlink("a.txt", (folder / "link").c_str()), 0);
  ASSERT_EQ(symlink("new.txt", (folder / "dangling").c_str()), 0);
  ASSERT_EQ(symlink("no/new.txt", (folder / "dangling-nowhere").c_str()), 0);
  const std::pair<std::string, int> cases[] = {
      {"a.txt", kFileOk},
      {"new.txt", kFileOk},
      {"no/new.txt", kErrorPathNotFound},
      {"ro.txt", kErrorAccessDenied},
      {"", kErrorAccessDenied},  // the folder itself
      {"link", kFileOk},
      {"dangling", kFileOk},  // saving creates the file it names
      {"dangling-nowhere", kErrorPathNotFound},
  };
  for (const auto& [name, code] : cases) {
    std::unique_ptr<IFile> direct;
    EXPECT_EQ(Files().ProbeWrite(folder / name, direct), code) << name;
    EXPECT_EQ(direct, nullptr) << name;
  }
  EXPECT_EQ(folder.Files(),
            (std::set<std::string>{"a.txt", "dangling", "dangling-nowhere", "link", "ro.txt"}))
      << "probing creates nothing";
  EXPECT_EQ(folder.Read("a.txt"), "x");

  // A device is opened to be written directly.
  std::unique_ptr<IFile> direct;
  ASSERT_EQ(Files().ProbeWrite("/dev/null", direct), kFileOk);
  ASSERT_NE(direct, nullptr);
  EXPECT_EQ(direct->Write("x", 1), kFileOk);
}

TEST(PosixFileSystem, TemporaryFilesGoBesideTheTargetUnderFreshNames) {
  ScratchFolder folder;
  const std::string a = Files().TemporaryPathBeside(folder / "a.txt");
  const std::string b = Files().TemporaryPathBeside(folder / "a.txt");
  EXPECT_NE(a, b);
  EXPECT_EQ(a.rfind(folder.Path().string() + "/", 0), 0u) << a;
  EXPECT_EQ(Files().TemporaryPathBeside("a.txt").find('/'), std::string::npos)
      << "a bare name stays in the current folder";

  std::unique_ptr<IFile> file;
  ASSERT_EQ(Files().CreateNew(a, file), kFileOk);
  ASSERT_EQ(file->Close(), kFileOk);
  EXPECT_EQ(Files().CreateNew(a, file), kErrorFileExists);
  EXPECT_EQ(Files().CreateNew(folder / "no/t.tmp", file), kErrorPathNotFound);
}

// A new file (mode 0600 while written) that then replaces, through a link into another folder,
// a file of another mode, owner and group, or that becomes a new file.
TEST(PosixFileSystem, ReplaceKeepsWhatBelongsToTheFileAndItsSymbolicLink) {
  const mode_t mask = umask(0);
  umask(mask);
  const bool root = geteuid() == 0;
  for (const bool existing : {true, false}) {
    ScratchFolder folder;
    std::filesystem::create_directory(folder.Path() / "real");
    if (existing) {
      folder.Write("real/memo.txt", "old");
      ASSERT_EQ(chmod((folder / "real/memo.txt").c_str(), 0640), 0);
      if (root) {
        ASSERT_EQ(chown((folder / "real/memo.txt").c_str(), 65534, 65534), 0);
      }
    }
    ASSERT_EQ(symlink("real/memo.txt", (folder / "link.txt").c_str()), 0);

    const std::string temporary = Files().TemporaryPathBeside(folder / "link.txt");
    EXPECT_EQ(std::filesystem::path(temporary).parent_path(), folder.Path() / "real")
        << "beside the file the link names, on its volume";
    std::unique_ptr<IFile> file;
    ASSERT_EQ(Files().CreateNew(temporary, file), kFileOk);
    ASSERT_EQ(file->Write("new", 3), kFileOk);
    ASSERT_EQ(file->Close(), kFileOk);
    struct stat st {};
    ASSERT_EQ(stat(temporary.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0600u) << "the owner's alone while written";
    ASSERT_EQ(Files().Replace(temporary, folder / "link.txt"), kFileOk);

    EXPECT_TRUE(std::filesystem::is_symlink(folder.Path() / "link.txt"));
    EXPECT_EQ(folder.Read("real/memo.txt"), "new");
    ASSERT_EQ(stat((folder / "real/memo.txt").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, existing ? 0640u : 0666u & ~mask) << existing;
    if (existing && root) {
      EXPECT_EQ(st.st_uid, 65534u);
      EXPECT_EQ(st.st_gid, 65534u);
    }
    EXPECT_EQ(folder.Files(), (std::set<std::string>{"link.txt", "real/memo.txt"}));
  }
}

TEST(PosixFileSystem, AScratchFileHasNoNameAndReadsBack) {
  ScratchFolder folder;
  const char* before = getenv("TMPDIR");
  const std::string saved = before ? before : "";
  setenv("TMPDIR", folder.Path().c_str(), 1);
  std::unique_ptr<IFile> file;
  ASSERT_EQ(CreateScratchFile(file), kFileOk);
  if (before) {
    setenv("TMPDIR", saved.c_str(), 1);
  } else {
    unsetenv("TMPDIR");
  }
  EXPECT_EQ(folder.Files(), std::set<std::string>{}) << "nothing for anyone else to open";
  ASSERT_EQ(file->Write("spooled", 7), kFileOk);
  ASSERT_TRUE(file->CanRewind());
  ASSERT_EQ(file->Rewind(), kFileOk);
  char back[16] = {};
  std::size_t got = 0;
  ASSERT_EQ(file->Read(back, sizeof back, got), kFileOk);
  EXPECT_EQ(std::string(back, got), "spooled");
}

// A path is used in full or refused: never cut short, never read as another name.
TEST(PosixFileSystem, LongPathsWorkInFullAndBadOnesFail) {
  ScratchFolder folder;
  std::string deep;
  for (int i = 0; i < 6; ++i)
    deep += std::string(60, static_cast<char>('a' + i)) + "/";
  std::filesystem::create_directories(folder.Path() / deep);
  const std::string longPath = folder / (deep + "file.txt");
  ASSERT_GT(longPath.size(), 300u);
  std::unique_ptr<IFile> file;
  ASSERT_EQ(Files().CreateNew(longPath, file), kFileOk);
  ASSERT_EQ(file->Write("long", 4), kFileOk);
  ASSERT_EQ(file->Close(), kFileOk);
  EXPECT_EQ(folder.Read(deep + "file.txt"), "long");

  folder.Write("a", "a");
  const std::string tooLongName = folder / std::string(300, 'n');
  std::unique_ptr<IFile> direct;
  EXPECT_EQ(Files().ProbeWrite(tooLongName, direct), kErrorFilenameTooLong);
  EXPECT_EQ(Files().CreateNew(tooLongName, file), kErrorFilenameTooLong);
  const std::string withZero = (folder / "a") + std::string(1, '\0') + "b";
  EXPECT_EQ(Files().OpenRead(withZero, file), kErrorInvalidName);
  EXPECT_EQ(Files().ProbeWrite(withZero, direct), kErrorInvalidName);
  EXPECT_EQ(Files().CreateNew(withZero, file), kErrorInvalidName);
  EXPECT_EQ(folder.Read("a"), "a");
}

}  // namespace
}  // namespace vellumo
