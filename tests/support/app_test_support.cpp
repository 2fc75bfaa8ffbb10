#include "app_test_support.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "platform/native_path.h"
#include "platform/program_file_override.h"

namespace apptest {

std::string ProgramView(const std::filesystem::path& native) {
  char view[4096];
  EXPECT_TRUE(ProgramPathFromNative(native.string().c_str(), view, sizeof view))
      << "no program view of " << native;
  return view;
}

void WriteText(const std::filesystem::path& native, const std::string& text) {
  std::filesystem::create_directories(native.parent_path());
  std::ofstream out(native, std::ios::binary | std::ios::trunc);
  out << text;
}

std::string ReadText(const std::filesystem::path& native) {
  std::ifstream in(native, std::ios::binary);
  if (!in) return "<missing>";
  std::ostringstream content;
  content << in.rdbuf();
  return content.str();
}

TempFolder::TempFolder() {
  std::string pattern = (std::filesystem::temp_directory_path() / "krnapp-XXXXXX").string();
  const char* made = mkdtemp(pattern.data());
  if (made == nullptr) ADD_FAILURE() << "cannot make a temporary folder";
  path_ = made != nullptr ? made : pattern;
}

TempFolder::~TempFolder() {
  // Conversions and the template scan move the current directory into the folder.
  std::error_code ignored;
  std::filesystem::current_path(std::filesystem::temp_directory_path(), ignored);
  std::filesystem::remove_all(path_, ignored);
}

namespace {

// The variable that names the folder above the user's settings folder.
#ifdef _WIN32
const char kUserConfigVariable[] = "APPDATA";
void SetVariable(const char* name, const char* value) {
  _putenv_s(name, value ? value : "");
}
#else
const char kUserConfigVariable[] = "XDG_CONFIG_HOME";
void SetVariable(const char* name, const char* value) {
  if (value) {
    setenv(name, value, 1);
  } else {
    unsetenv(name);
  }
}
#endif

}  // namespace

ProgramFolder::ProgramFolder() {
  std::filesystem::create_directories(templates());
  std::filesystem::create_directories(defaults());
  // The user's own settings folder lies in the test's folder, never in the tester's home.
  if (const char* old = std::getenv(kUserConfigVariable)) savedUserConfig_ = old;
  hadUserConfig_ = std::getenv(kUserConfigVariable) != nullptr;
  SetVariable(kUserConfigVariable, (path() / "user-config").string().c_str());
  EXPECT_TRUE(SysOverrideProgramFile(ProgramView(programFile()).c_str()))
      << "the program folder cannot be moved for the test";
}

ProgramFolder::~ProgramFolder() {
  SysOverrideProgramFile(nullptr);
  SetVariable(kUserConfigVariable, hadUserConfig_ ? savedUserConfig_.c_str() : nullptr);
}

void ProgramFolder::AddTemplate(const std::string& name, const std::string& text) const {
  WriteText(templates() / name, text);
}

}  // namespace apptest
