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

ProgramFolder::ProgramFolder() {
  std::filesystem::create_directories(templates());
  std::filesystem::create_directories(defaults());
  EXPECT_TRUE(SysOverrideProgramFile(ProgramView(programFile()).c_str()))
      << "the program folder cannot be moved for the test";
}

ProgramFolder::~ProgramFolder() {
  SysOverrideProgramFile(nullptr);
}

void ProgramFolder::AddTemplate(const std::string& name, const std::string& text) const {
  WriteText(templates() / name, text);
}

}  // namespace apptest
