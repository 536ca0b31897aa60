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
  EXPECT_EQ(Files().OpenRead(folder.path().string(), file), kErrorAccessDenied);
  EXPECT_EQ(file, nullptr);
}

TEST(PosixFileSystem, ProbeWriteTellsWhatAWriteOpenWouldAnswer) {
  ScratchFolder folder;
  folder.Write("a.txt", "x");
  folder.Write("ro.txt", "x");
  ASSERT_EQ(chmod((folder / "ro.txt").c_str(), 0444), 0);
  const std::pair<std::string, int> cases[] = {
      {"a.txt", kFileOk},
      {"new.txt", kFileOk},
      {"no/new.txt", kErrorPathNotFound},
      {"ro.txt", kErrorAccessDenied},
      {"", kErrorAccessDenied},  // the folder itself
  };
  for (const auto& [name, code] : cases)
    EXPECT_EQ(Files().ProbeWrite(folder / name), code) << name;
  EXPECT_EQ(folder.Files(), (std::set<std::string>{"a.txt", "ro.txt"}))
      << "probing creates nothing";
  EXPECT_EQ(folder.Read("a.txt"), "x");
}

TEST(PosixFileSystem, TemporaryFilesGoBesideTheTargetUnderFreshNames) {
  ScratchFolder folder;
  const std::string a = Files().TemporaryPathBeside(folder / "a.txt");
  const std::string b = Files().TemporaryPathBeside(folder / "a.txt");
  EXPECT_NE(a, b);
  EXPECT_EQ(a.rfind(folder.path().string() + "/", 0), 0u) << a;
  EXPECT_EQ(Files().TemporaryPathBeside("a.txt").find('/'), std::string::npos)
      << "a bare name stays in the current folder";

  std::unique_ptr<IFile> file;
  ASSERT_EQ(Files().CreateNew(a, file), kFileOk);
  ASSERT_EQ(file->Close(), kFileOk);
  EXPECT_EQ(Files().CreateNew(a, file), kErrorFileExists);
  EXPECT_EQ(Files().CreateNew(folder / "no/t.tmp", file), kErrorPathNotFound);
}

TEST(PosixFileSystem, ReplaceKeepsPermissionsAndSymbolicLinks) {
  ScratchFolder folder;
  folder.Write("private.txt", "old");
  ASSERT_EQ(chmod((folder / "private.txt").c_str(), 0600), 0);
  ASSERT_EQ(symlink("private.txt", (folder / "link.txt").c_str()), 0);

  const std::string temporary = Files().TemporaryPathBeside(folder / "link.txt");
  folder.Write(std::filesystem::path(temporary).filename().string(), "new");
  ASSERT_EQ(chmod(temporary.c_str(), 0644), 0);
  ASSERT_EQ(Files().Replace(temporary, folder / "link.txt"), kFileOk);

  EXPECT_TRUE(std::filesystem::is_symlink(folder.path() / "link.txt"));
  EXPECT_EQ(folder.Read("private.txt"), "new");
  struct stat st {};
  ASSERT_EQ(stat((folder / "private.txt").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
  EXPECT_EQ(folder.Files(), (std::set<std::string>{"link.txt", "private.txt"}));
}

// A path is used in full or refused: never cut short, never read as another name.
TEST(PosixFileSystem, LongPathsWorkInFullAndBadOnesFail) {
  ScratchFolder folder;
  std::string deep;
  for (int i = 0; i < 6; ++i)
    deep += std::string(60, static_cast<char>('a' + i)) + "/";
  std::filesystem::create_directories(folder.path() / deep);
  const std::string longPath = folder / (deep + "file.txt");
  ASSERT_GT(longPath.size(), 300u);
  std::unique_ptr<IFile> file;
  ASSERT_EQ(Files().CreateNew(longPath, file), kFileOk);
  ASSERT_EQ(file->Write("long", 4), kFileOk);
  ASSERT_EQ(file->Close(), kFileOk);
  EXPECT_EQ(folder.Read(deep + "file.txt"), "long");

  folder.Write("a", "a");
  const std::string tooLongName = folder / std::string(300, 'n');
  EXPECT_EQ(Files().ProbeWrite(tooLongName), kErrorFilenameTooLong);
  EXPECT_EQ(Files().CreateNew(tooLongName, file), kErrorFilenameTooLong);
  const std::string withZero = (folder / "a") + std::string(1, '\0') + "b";
  EXPECT_EQ(Files().OpenRead(withZero, file), kErrorInvalidName);
  EXPECT_EQ(Files().ProbeWrite(withZero), kErrorInvalidName);
  EXPECT_EQ(Files().CreateNew(withZero, file), kErrorInvalidName);
  EXPECT_EQ(folder.Read("a"), "a");
}

}  // namespace
}  // namespace vellumo
