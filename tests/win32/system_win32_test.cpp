// The Win32 system backend: files by open mode, folders, the program file, temporary files,
// path views and the version resource, against the real KERNEL32 and VERSION calls.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <set>
#include <string>

#include "krn_version.h"
#include "platform/file_system.h"
#include "platform/native_path.h"
#include "platform/program_file_override.h"
#include "platform/user_folders.h"
#include "platform/version_resource.h"
#include "temp_folder.h"

namespace {

uint32_t SizeOf(const std::string& path) {
  void* file = SysOpenFile(path.c_str(), 0);
  if (file == nullptr) return 0xFFFFFFFFu;
  uint32_t size = 0xFFFFFFFFu;
  SysGetFileSize(file, &size);
  SysCloseFile(file);
  return size;
}

}  // namespace

TEST(SystemWin32Files, OpenModesFollowTheirDispositions) {
  TempFolder dir;
  ASSERT_FALSE(dir.path().empty()) << "no temporary folder";
  std::string missing = dir.Join("missing.txt");

  EXPECT_EQ(SysOpenFile(missing.c_str(), 0), nullptr) << "mode 0 opened a missing file";
  EXPECT_EQ(SysOpenFile(missing.c_str(), 1), nullptr) << "mode 1 opened a missing file";
  EXPECT_EQ(SysOpenFile(missing.c_str(), 3), nullptr) << "mode 3 opened a missing file";
  EXPECT_EQ(SysGetFileAttributes(missing.c_str()), kSysInvalidAttributes)
      << "a failed open created the file";

  for (int mode : {-1, 5, 99}) {
    EXPECT_EQ(SysOpenFile(missing.c_str(), mode), nullptr) << "mode " << mode << " accepted";
  }
  EXPECT_EQ(SysGetFileAttributes(missing.c_str()), kSysInvalidAttributes)
      << "an invalid mode reached the system";

  void* created = SysOpenFile(missing.c_str(), 4);
  ASSERT_NE(created, nullptr) << "mode 4 did not create a missing file";
  EXPECT_TRUE(SysCloseFile(created));
  EXPECT_EQ(SizeOf(missing), 0u) << "mode 4 made a non-empty file";

  ASSERT_TRUE(dir.WriteFile("full.txt", "twenty bytes of text"));
  void* truncated = SysOpenFile(dir.Join("full.txt").c_str(), 2);
  ASSERT_NE(truncated, nullptr) << "mode 2 failed on an existing file";
  uint32_t size = 99;
  EXPECT_TRUE(SysGetFileSize(truncated, &size));
  EXPECT_EQ(size, 0u) << "mode 2 did not truncate the file";
  SysCloseFile(truncated);

  ASSERT_TRUE(dir.WriteFile("keep.txt", "kept"));
  void* kept = SysOpenFile(dir.Join("keep.txt").c_str(), 4);
  ASSERT_NE(kept, nullptr);
  EXPECT_TRUE(SysGetFileSize(kept, &size));
  EXPECT_EQ(size, 4u) << "mode 4 truncated an existing file";
  SysCloseFile(kept);
}

TEST(SystemWin32Files, ReadWriteSizeAndEndOfFile) {
  TempFolder dir;
  ASSERT_FALSE(dir.path().empty());
  std::string path = dir.Join("data.bin");
  void* file = SysOpenFile(path.c_str(), 2);
  ASSERT_NE(file, nullptr);
  const char text[] = "0123456789abcdefghij";
  uint32_t done = 0;
  ASSERT_TRUE(SysWriteFile(file, text, 20, &done));
  EXPECT_EQ(done, 20u) << "short write";
  EXPECT_FALSE(SysWriteFile(file, text, 1, nullptr)) << "null out-count accepted";
  EXPECT_FALSE(SysWriteFile(file, nullptr, 1, &done)) << "null buffer accepted";
  EXPECT_TRUE(SysCloseFile(file));
  EXPECT_EQ(dir.ReadFile("data.bin"), "0123456789abcdefghij");

  file = SysOpenFile(path.c_str(), 3);
  ASSERT_NE(file, nullptr);
  char buffer[64] = {};
  ASSERT_TRUE(SysReadFile(file, buffer, 8, &done));
  EXPECT_EQ(done, 8u);
  EXPECT_EQ(std::string(buffer, 8), "01234567");
  // The file position is now 8: cutting there leaves the first 8 bytes.
  EXPECT_TRUE(SysSetEndOfFile(file)) << "SetEndOfFile failed";
  uint32_t size = 0;
  EXPECT_TRUE(SysGetFileSize(file, &size));
  EXPECT_EQ(size, 8u) << "the file was not cut at the current position";
  ASSERT_TRUE(SysReadFile(file, buffer, 8, &done));
  EXPECT_EQ(done, 0u) << "read past the new end";
  EXPECT_FALSE(SysGetFileSize(file, nullptr));
  EXPECT_TRUE(SysCloseFile(file));

  EXPECT_FALSE(SysReadFile(nullptr, buffer, 1, &done)) << "read on a null handle";
  EXPECT_FALSE(SysCloseFile(nullptr)) << "close of a null handle succeeded";
}

TEST(SystemWin32Files, NoSharingWhileOpen) {
  TempFolder dir;
  ASSERT_FALSE(dir.path().empty());
  ASSERT_TRUE(dir.WriteFile("locked.txt", "x"));
  std::string path = dir.Join("locked.txt");
  void* first = SysOpenFile(path.c_str(), 0);
  ASSERT_NE(first, nullptr);
  void* second = SysOpenFile(path.c_str(), 0);
  EXPECT_EQ(second, nullptr) << "a file open with share mode 0 was opened twice";
  if (second != nullptr) SysCloseFile(second);
  SysCloseFile(first);
  void* again = SysOpenFile(path.c_str(), 0);
  EXPECT_NE(again, nullptr) << "closing did not release the file";
  if (again != nullptr) SysCloseFile(again);
}

TEST(SystemWin32Files, HandlesAreInheritableWin32Handles) {
  // The handle is an ordinary HANDLE that the Win32 API itself accepts.
  TempFolder dir;
  ASSERT_FALSE(dir.path().empty());
  ASSERT_TRUE(dir.WriteFile("h.txt", "abc"));
  void* file = SysOpenFile(dir.Join("h.txt").c_str(), 0);
  ASSERT_NE(file, nullptr);
  DWORD flags = 0;
  ASSERT_TRUE(GetHandleInformation(static_cast<HANDLE>(file), &flags));
  EXPECT_NE(flags & HANDLE_FLAG_INHERIT, 0u) << "the handle was not created inheritable";
  EXPECT_EQ(GetFileSize(static_cast<HANDLE>(file), nullptr), 3u);
  SysCloseFile(file);
}

TEST(SystemWin32Folders, AttributesListingAndCurrentDirectory) {
  TempFolder dir;
  ASSERT_FALSE(dir.path().empty());
  ASSERT_TRUE(dir.WriteFile("a.html", "a"));
  ASSERT_TRUE(dir.WriteFile("c.txt", "c"));
  ASSERT_TRUE(CreateDirectoryA(dir.Join("sub.html").c_str(), nullptr));
  ASSERT_TRUE(CreateDirectoryA(dir.Join("hidden.d").c_str(), nullptr));
  SetFileAttributesA(dir.Join("hidden.d").c_str(),
                     FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN);

  EXPECT_EQ(SysGetFileAttributes(dir.Join("a.html").c_str()), kSysAttributeNormal);
  EXPECT_EQ(SysGetFileAttributes(dir.Join("sub.html").c_str()), kSysAttributeDirectory);
  EXPECT_EQ(SysGetFileAttributes(nullptr), kSysInvalidAttributes);

  std::set<std::string> files, folders;
  SysFindData found;
  void* search = SysFindFirstFile(dir.path().c_str(), &found);
  ASSERT_NE(search, nullptr) << "listing failed";
  do {
    (found.attributes == kSysAttributeDirectory ? folders : files).insert(found.name);
  } while (SysFindNextFile(search, &found));
  SysFindClose(search);
  EXPECT_EQ(files, (std::set<std::string>{"a.html", "c.txt"})) << "files listed wrongly";
  EXPECT_EQ(folders, (std::set<std::string>{".", "..", "sub.html", "hidden.d"}))
      << "folders (also hidden ones) must be reported as exactly the directory attribute";

  // A trailing separator on the folder is accepted too.
  search = SysFindFirstFile((dir.path() + "\\").c_str(), &found);
  EXPECT_NE(search, nullptr) << "a folder ending with '\\' could not be listed";
  SysFindClose(search);
  EXPECT_EQ(SysFindFirstFile(dir.Join("nowhere").c_str(), &found), nullptr);

  char saved[MAX_PATH];
  ASSERT_GT(SysGetCurrentDirectory(saved, sizeof(saved)), 0u);
  ASSERT_TRUE(SysSetCurrentDirectory(dir.path().c_str()));
  char now[MAX_PATH];
  uint32_t length = SysGetCurrentDirectory(now, sizeof(now));
  EXPECT_EQ(std::string(now), dir.path()) << "current directory not taken";
  EXPECT_EQ(length, dir.path().size());
  char tiny[4] = "xyz";
  EXPECT_EQ(SysGetCurrentDirectory(tiny, sizeof(tiny)), 0u) << "a cut directory was reported";
  EXPECT_STREQ(tiny, "");
  EXPECT_FALSE(SysSetCurrentDirectory(dir.Join("nowhere").c_str()));
  EXPECT_TRUE(SysSetCurrentDirectory(saved));
}

TEST(SystemWin32Program, ProgramFileAndItsOverride) {
  char path[MAX_PATH];
  uint32_t length = SysGetProgramFile(path, sizeof(path));
  ASSERT_GT(length, 4u) << "no program file";
  EXPECT_EQ(length, std::strlen(path));
  EXPECT_EQ(_stricmp(path + length - 4, ".exe"), 0) << path;
  EXPECT_EQ(path[1], ':') << "not a full path: " << path;
  char tiny[5];
  EXPECT_EQ(SysGetProgramFile(tiny, sizeof(tiny)), 0u) << "a cut program path was reported";

  ASSERT_TRUE(SysOverrideProgramFile("C:\\elsewhere\\krn2html.exe"));
  char other[MAX_PATH];
  SysGetProgramFile(other, sizeof(other));
  EXPECT_STREQ(other, "C:\\elsewhere\\krn2html.exe") << "override not used";
  std::string tooLong = "C:\\" + std::string(257, 'x');
  EXPECT_FALSE(SysOverrideProgramFile(tooLong.c_str())) << "260 characters accepted";
  SysGetProgramFile(other, sizeof(other));
  EXPECT_STREQ(other, "C:\\elsewhere\\krn2html.exe") << "a refused override changed the path";
  ASSERT_TRUE(SysOverrideProgramFile(nullptr));
  SysGetProgramFile(other, sizeof(other));
  EXPECT_STREQ(other, path) << "null did not restore the real program file";
}

TEST(SystemWin32Program, TemporaryFilesAreNewAndPrefixed) {
  char folder[MAX_PATH];
  uint32_t length = SysGetTempFolder(folder, sizeof(folder));
  ASSERT_GT(length, 0u);
  EXPECT_EQ(folder[length - 1], '\\') << "temp folder does not end with '\\'";

  char first[MAX_PATH], second[MAX_PATH];
  ASSERT_TRUE(SysMakeTempFile(folder, "PB", first, sizeof(first)));
  ASSERT_TRUE(SysMakeTempFile(folder, "PB", second, sizeof(second)));
  EXPECT_STRNE(first, second) << "two temp files share a name";
  for (const char* name : {first, second}) {
    EXPECT_EQ(SysGetFileAttributes(name), kSysAttributeNormal) << name << " does not exist";
    const char* base = std::strrchr(name, '\\');
    ASSERT_NE(base, nullptr);
    EXPECT_EQ(std::strncmp(base + 1, "PB", 2), 0) << name << " lacks the prefix";
    EXPECT_EQ(SizeOf(name), 0u) << name << " is not empty";
  }
  DeleteFileA(first);
  DeleteFileA(second);

  char tiny[4];
  EXPECT_FALSE(SysMakeTempFile(folder, "PB", tiny, sizeof(tiny))) << "a cut name was reported";
  EXPECT_FALSE(SysMakeTempFile("C:\\no\\such\\folder\\", "PB", first, sizeof(first)));
}

TEST(SystemWin32Paths, ViewsAreIdentityCopies) {
  char out[MAX_PATH];
  ASSERT_TRUE(NativePathFromProgram("C:\\web\\a.krn", out, sizeof(out)));
  EXPECT_STREQ(out, "C:\\web\\a.krn");
  ASSERT_TRUE(ProgramPathFromNative("Z:\\home/ann/a.krn", out, sizeof(out)));
  EXPECT_STREQ(out, "Z:\\home/ann/a.krn") << "the Windows view must not translate";
  char small[5] = "abcd";
  EXPECT_FALSE(NativePathFromProgram("C:\\web", small, sizeof(small)));
  EXPECT_STREQ(small, "") << "a refused copy must leave an empty text";
  EXPECT_FALSE(ProgramPathFromNative(nullptr, out, sizeof(out)));
}

TEST(SystemWin32Version, ResourceOfThisProgram) {
  char self[MAX_PATH];
  ASSERT_GT(SysGetProgramFile(self, sizeof(self)), 0u);
  uint32_t size = SysGetFileVersionInfoSize(self);
  ASSERT_GT(size, 0u) << "the test program carries no version resource";

  std::string block(size, '\0');
  EXPECT_FALSE(SysGetFileVersionInfo(self, size / 2, block.data())) << "a cut block was accepted";
  ASSERT_TRUE(SysGetFileVersionInfo(self, size, block.data()));

  const void* value = nullptr;
  uint32_t length = 0;
  ASSERT_TRUE(SysVerQueryValue(block.data(), "\\VarFileInfo\\Translation", &value, &length));
  ASSERT_GE(length, 4u);
  const auto* translation = static_cast<const uint16_t*>(value);
  EXPECT_EQ(translation[0], 0x0409) << "language";
  EXPECT_EQ(translation[1], 0x04B0) << "code page";

  ASSERT_TRUE(SysVerQueryValue(block.data(), "\\StringFileInfo\\040904B0\\ProductVersion", &value,
                               &length));
  EXPECT_STREQ(static_cast<const char*>(value), KRN_VERSION_COMMAS);
  EXPECT_EQ(length, std::strlen(KRN_VERSION_COMMAS) + 1) << "length must count the NUL";

  EXPECT_FALSE(
      SysVerQueryValue(block.data(), "\\StringFileInfo\\040704E4\\ProductVersion", &value, &length))
      << "a missing translation was found";
  EXPECT_FALSE(SysVerQueryValue(block.data(), "\\VarFileInfo\\Translation", nullptr, &length));
}

TEST(SystemWin32Version, FileWithoutResource) {
  TempFolder dir;
  ASSERT_FALSE(dir.path().empty());
  ASSERT_TRUE(dir.WriteFile("plain.txt", "no resource here"));
  EXPECT_EQ(SysGetFileVersionInfoSize(dir.Join("plain.txt").c_str()), 0u);
  EXPECT_EQ(SysGetFileVersionInfoSize(dir.Join("missing.exe").c_str()), 0u);
  char block[16];
  EXPECT_FALSE(SysGetFileVersionInfo(dir.Join("plain.txt").c_str(), sizeof(block), block));
}

TEST(SystemWin32UserFolders, SettingsBelowAppDataForTheUser) {
  TempFolder dir;
  ASSERT_FALSE(dir.path().empty()) << "no temporary folder";
  char saved[MAX_PATH] = "";
  const DWORD had = GetEnvironmentVariableA("APPDATA", saved, sizeof saved);
  const struct {
    std::string appData;
    std::string want;
  } cases[] = {
      {dir.Join("Roaming"), dir.Join("Roaming\\krn2html")},
      {dir.Join("Roaming") + "\\", dir.Join("Roaming\\krn2html")},
  };
  char out[MAX_PATH];
  for (const auto& c : cases) {
    SetEnvironmentVariableA("APPDATA", c.appData.c_str());
    ASSERT_EQ(SysGetUserSettingsFolder(out, sizeof out), c.want.size()) << c.appData;
    EXPECT_EQ(std::string(out), c.want) << "a trailing separator is not doubled";
  }
  char tiny[4];
  EXPECT_EQ(SysGetUserSettingsFolder(tiny, sizeof tiny), 0u) << "a folder that does not fit";
  SetEnvironmentVariableA("APPDATA", nullptr);
  EXPECT_EQ(SysGetUserSettingsFolder(out, sizeof out), 0u) << "no APPDATA, no folder";
  SetEnvironmentVariableA("APPDATA", had > 0 ? saved : nullptr);

  const std::string nested = dir.Join("a\\b\\krn2html");
  EXPECT_TRUE(SysCreatePrivateFolder(nested.c_str())) << "missing parents are made too";
  EXPECT_TRUE(SysCreatePrivateFolder(nested.c_str())) << "an existing folder is fine";
  EXPECT_TRUE(SysFolderWritable(nested.c_str()));
  EXPECT_FALSE(SysFolderWritable(dir.Join("missing").c_str()));
  ASSERT_TRUE(dir.WriteFile("file.txt", "x"));
  EXPECT_FALSE(SysFolderWritable(dir.Join("file.txt").c_str())) << "a file is no folder";
  EXPECT_FALSE(SysCreatePrivateFolder(dir.Join("file.txt").c_str())) << "a file is no folder";
  EXPECT_TRUE(SysOwnedByUser(dir.Join("file.txt").c_str()));
  EXPECT_FALSE(SysOwnedByUser(dir.Join("missing").c_str()));
}
