#include "base/file_handle.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>

#include "platform/native_path.h"
#include "tests/platform/test_folder.h"

namespace {

PathBuffer PathOf(const std::string& program) {
  PathBuffer p;
  EXPECT_TRUE(p.Set(program.c_str())) << program;
  return p;
}

// Reads the whole file through a handle, as the application does.
std::string ReadWhole(const PathBuffer& path) {
  FileHandle file(path);
  if (!file.Exists() || !file.Open(0)) return "<unreadable>";
  uint32_t size = 0;
  if (!file.GetSize(&size)) return "<no size>";
  std::string text(size, '\0');
  uint32_t done = 0;
  if (size != 0 && (!file.Read(text.data(), size, &done) || done != size)) return "<short read>";
  file.Close();
  return text;
}

TEST(FileHandle, MissingFileCannotBeReadOrFound) {
  TestFolder folder;
  FileHandle file(PathOf(folder.Program("missing.krn")));
  EXPECT_TRUE(file.IsNamed());
  EXPECT_FALSE(file.Exists());
  EXPECT_FALSE(file.Open(0)) << "mode 0 needs an existing file";
  EXPECT_FALSE(file.IsOpen());
  EXPECT_FALSE(file.Open(1)) << "mode 1 needs an existing file";
  EXPECT_FALSE(file.Open(3)) << "mode 3 needs an existing file";
  EXPECT_FALSE(std::filesystem::exists(folder.Native("missing.krn")))
      << "failed opens must not create the file";
  EXPECT_FALSE(file.Open(5)) << "modes beyond 4 are refused";
  EXPECT_FALSE(file.Open(-1));
  EXPECT_FALSE(file.Close()) << "closing a closed file fails";
  uint32_t size = 7;
  EXPECT_FALSE(file.GetSize(&size));
  size = 7;
  EXPECT_FALSE(file.OpenToRead(&size)) << "reading needs an existing file";
  EXPECT_EQ(size, 0u);
  EXPECT_FALSE(file.IsOpen());
}

TEST(FileHandle, WholeFileWriteThenRead) {
  TestFolder folder;
  const PathBuffer path = PathOf(folder.Program("page.html"));
  {
    FileHandle file(path);
    ASSERT_TRUE(file.Open(2));
    const char text[] = "<html>\r\n</html>\r\n";
    uint32_t done = 0;
    ASSERT_TRUE(file.Write(text, uint32_t(std::strlen(text)), &done));
    EXPECT_EQ(done, std::strlen(text));
    EXPECT_TRUE(file.SetEnd());
    EXPECT_TRUE(file.Close());
    EXPECT_FALSE(file.IsOpen());
  }
  EXPECT_EQ(folder.Read("page.html"), "<html>\r\n</html>\r\n");
  EXPECT_EQ(ReadWhole(path), "<html>\r\n</html>\r\n");
  FileHandle reader(path);
  uint32_t size = 0;
  ASSERT_TRUE(reader.OpenToRead(&size));
  EXPECT_EQ(size, 17u) << "the size comes with the open file";
  EXPECT_FALSE(reader.OpenToRead(&size)) << "an open handle is not opened again";
  char text[32] = {};
  uint32_t done = 0;
  ASSERT_TRUE(reader.Read(text, sizeof text, &done));
  EXPECT_EQ(std::string(text, done), "<html>\r\n</html>\r\n");
}

TEST(FileHandle, ModeTwoTruncatesAndSetEndCuts) {
  TestFolder folder;
  folder.Write("old.txt", "a long text that was there before");
  const PathBuffer path = PathOf(folder.Program("old.txt"));
  {
    FileHandle file(path);
    ASSERT_TRUE(file.Exists());
    ASSERT_TRUE(file.Open(2));
    uint32_t size = 99;
    ASSERT_TRUE(file.GetSize(&size));
    EXPECT_EQ(size, 0u) << "mode 2 truncates an existing file";
  }
  EXPECT_EQ(std::filesystem::file_size(folder.Native("old.txt")), 0u);

  folder.Write("cut.txt", "0123456789");
  FileHandle file(PathOf(folder.Program("cut.txt")));
  ASSERT_TRUE(file.Open(3)) << "mode 3 opens an existing file for reading and writing";
  char head[4] = {};
  uint32_t done = 0;
  ASSERT_TRUE(file.Read(head, 4, &done));
  EXPECT_EQ(done, 4u);
  ASSERT_TRUE(file.SetEnd()) << "cutting at the current position";
  ASSERT_TRUE(file.Close());
  EXPECT_EQ(folder.Read("cut.txt"), "0123");
}

TEST(FileHandle, OtherModes) {
  TestFolder folder;
  const PathBuffer created = PathOf(folder.Program("new.txt"));
  {
    FileHandle file(created);
    ASSERT_TRUE(file.Open(4)) << "mode 4 creates a missing file";
  }
  EXPECT_TRUE(std::filesystem::exists(folder.Native("new.txt")));

  folder.Write("keep.txt", "abcdef");
  {
    FileHandle file(PathOf(folder.Program("keep.txt")));
    ASSERT_TRUE(file.Open(4)) << "mode 4 opens an existing file without truncating";
    uint32_t size = 0;
    ASSERT_TRUE(file.GetSize(&size));
    EXPECT_EQ(size, 6u);
  }
  {
    FileHandle file(PathOf(folder.Program("keep.txt")));
    ASSERT_TRUE(file.Open(1)) << "mode 1 writes an existing file";
    uint32_t done = 0;
    char byte = 0;
    EXPECT_FALSE(file.Read(&byte, 1, &done)) << "mode 1 is write only";
    ASSERT_TRUE(file.Write("XY", 2, &done));
    EXPECT_EQ(done, 2u);
  }
  EXPECT_EQ(folder.Read("keep.txt"), "XYcdef") << "mode 1 neither truncates nor appends";
  {
    FileHandle file(PathOf(folder.Program("keep.txt")));
    ASSERT_TRUE(file.Open(0));
    uint32_t done = 0;
    EXPECT_FALSE(file.Write("no", 2, &done)) << "mode 0 is read only";
  }
  EXPECT_EQ(folder.Read("keep.txt"), "XYcdef");
}

TEST(FileHandle, RefusesMisuseWithoutTouchingTheFile) {
  TestFolder folder;
  folder.Write("data.bin", "abc");
  FileHandle file(PathOf(folder.Program("data.bin")));
  char buffer[8] = {};
  uint32_t done = 0;
  EXPECT_FALSE(file.Read(buffer, 3, &done)) << "reading a closed file fails";
  ASSERT_TRUE(file.Open(0));
  EXPECT_FALSE(file.Open(0)) << "a second open is refused";
  EXPECT_TRUE(file.IsOpen()) << "the first handle is kept";
  EXPECT_FALSE(file.Read(buffer, 3, nullptr)) << "a null out count fails";
  EXPECT_FALSE(file.Read(nullptr, 3, &done)) << "a null buffer fails";
  EXPECT_FALSE(file.Write("x", 1, nullptr));
  EXPECT_FALSE(file.GetSize(nullptr));
  ASSERT_TRUE(file.Read(buffer, 8, &done)) << "the kept handle still reads from the start";
  EXPECT_EQ(done, 3u) << "a short read reports what it got";
  EXPECT_STREQ(buffer, "abc");
  ASSERT_TRUE(file.Read(buffer, 8, &done));
  EXPECT_EQ(done, 0u) << "reading at the end gives zero bytes";
  ASSERT_TRUE(file.Close());
  EXPECT_FALSE(file.Close());
  EXPECT_TRUE(file.Open(0)) << "a closed object can be opened again";
}

TEST(FileHandle, FolderIsNotAFile) {
  TestFolder folder;
  std::filesystem::create_directory(folder.Native("sub"));
  FileHandle file(PathOf(folder.Program("sub")));
  EXPECT_TRUE(file.Exists()) << "a folder exists";
  EXPECT_FALSE(file.Open(0)) << "but cannot be opened as a file";
  EXPECT_FALSE(file.Open(2));
  uint32_t size = 7;
  EXPECT_FALSE(file.OpenToRead(&size)) << "nor read as one";
  EXPECT_FALSE(file.IsOpen());
}

TEST(FileHandle, WithoutPathUsesANewTemporaryFile) {
  FileHandle a, b;
  ASSERT_TRUE(a.IsNamed());
  ASSERT_TRUE(b.IsNamed());
  EXPECT_TRUE(a.Exists()) << "the temporary file already exists: " << a.Path().path;
  EXPECT_STRNE(a.Path().path, b.Path().path);
  char native[4096];
  ASSERT_TRUE(NativePathFromProgram(a.Path().path, native, sizeof native));
  const std::filesystem::path file(native);
  EXPECT_EQ(file.filename().string().rfind("PB", 0), 0u) << file;
  EXPECT_EQ(std::filesystem::file_size(file), 0u);
  ASSERT_TRUE(a.Open(3));
  uint32_t done = 0;
  EXPECT_TRUE(a.Write("tmp", 3, &done));
  EXPECT_TRUE(a.Close());
  EXPECT_EQ(std::filesystem::file_size(file), 3u);
  std::filesystem::remove(file);
  ASSERT_TRUE(NativePathFromProgram(b.Path().path, native, sizeof native));
  std::filesystem::remove(native);
}

}  // namespace
