#include "platform/user_folders.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <optional>
#include <string>

#include "tests/platform/test_folder.h"

namespace {

// Sets an environment variable for one scope and restores it afterwards.
class Variable {
 public:
  Variable(const char* name, const char* value) : name_(name) {
    if (const char* old = std::getenv(name)) saved_ = old;
    if (value != nullptr) {
      setenv(name, value, 1);
    } else {
      unsetenv(name);
    }
  }
  ~Variable() {
    if (saved_) {
      setenv(name_, saved_->c_str(), 1);
    } else {
      unsetenv(name_);
    }
  }

 private:
  const char* name_;
  std::optional<std::string> saved_;
};

std::string UserFolder() {
  char out[260];
  return SysGetUserSettingsFolder(out, sizeof out) > 0 ? out : "<none>";
}

TEST(UserFolders, SettingsFolderFollowsXdgConfigHomeElseHome) {
  const struct {
    const char* config;
    const char* home;
    std::string want;
    const char* why;
  } cases[] = {
      {"/cfg", "/home/ann", "Z:\\cfg\\krn2html", "an absolute XDG_CONFIG_HOME is used"},
      {"/cfg/", "/home/ann", "Z:\\cfg\\krn2html", "its trailing slash is not doubled"},
      {"relative", "/home/ann", "Z:\\home\\ann\\.config\\krn2html",
       "a relative XDG_CONFIG_HOME is ignored, as the base directory rules say"},
      {"", "/home/ann", "Z:\\home\\ann\\.config\\krn2html", "an empty one too"},
      {nullptr, "/home/ann", "Z:\\home\\ann\\.config\\krn2html", "the default is ~/.config"},
  };
  for (const auto& c : cases) {
    Variable config("XDG_CONFIG_HOME", c.config);
    Variable home("HOME", c.home);
    EXPECT_EQ(UserFolder(), c.want) << c.why;
  }
  char tiny[8];
  Variable config("XDG_CONFIG_HOME", "/cfg");
  EXPECT_EQ(SysGetUserSettingsFolder(tiny, sizeof tiny), 0u) << "a folder that does not fit";
}

TEST(UserFolders, PrivateFoldersWritabilityAndOwnership) {
  TestFolder folder;
  const std::string nested = folder.Program("a/b/krn2html");
  ASSERT_TRUE(SysCreatePrivateFolder(nested.c_str())) << "missing parents are made too";
  for (const char* part : {"a", "a/b", "a/b/krn2html"}) {
    struct stat info {};
    ASSERT_EQ(stat(folder.Native(part).c_str(), &info), 0) << part;
    EXPECT_EQ(info.st_mode & 0777, 0700u) << part << " is for the user alone";
  }
  EXPECT_TRUE(SysCreatePrivateFolder(nested.c_str())) << "an existing folder is fine";
  folder.Write("file", "x");
  EXPECT_FALSE(SysCreatePrivateFolder(folder.Program("file").c_str())) << "a file is no folder";

  EXPECT_TRUE(SysFolderWritable(nested.c_str()));
  EXPECT_FALSE(SysFolderWritable(folder.Program("missing").c_str()));
  EXPECT_FALSE(SysFolderWritable(folder.Program("file").c_str())) << "a file is no folder";
  if (geteuid() != 0) {
    ASSERT_EQ(chmod(folder.Native("a/b/krn2html").c_str(), 0500), 0);
    EXPECT_FALSE(SysFolderWritable(nested.c_str())) << "a read-only folder";
    chmod(folder.Native("a/b/krn2html").c_str(), 0700);
  }

  EXPECT_TRUE(SysOwnedByUser(folder.Program("file").c_str()));
  EXPECT_FALSE(SysOwnedByUser(folder.Program("missing").c_str()));
  if (geteuid() == 0) {
    ASSERT_EQ(chown(folder.Native("file").c_str(), 65534, 65534), 0);
    EXPECT_FALSE(SysOwnedByUser(folder.Program("file").c_str())) << "a file of another user";
  }
}

}  // namespace
