// Shared helpers of the application tests: a temporary program folder with
// "HTML Support" and "Defaults", and small file utilities in both path views.
#pragma once

#include <filesystem>
#include <string>

namespace apptest {

// The program's view of a native absolute path: Z: in front, '\' separators.
std::string ProgramView(const std::filesystem::path& native);

// Writes text to a native path, creating the folders on the way.
void WriteText(const std::filesystem::path& native, const std::string& text);

// The whole content of a native file; "<missing>" when it cannot be read.
std::string ReadText(const std::filesystem::path& native);

// A new empty folder under the system's temporary folder, removed at the end.
class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

 private:
  std::filesystem::path path_;
};

// A temporary program folder: the program file "krn2html" (not created), an
// "HTML Support" and a "Defaults" folder; the system backend takes the program
// file from here while the object lives.
class ProgramFolder : public TempFolder {
 public:
  ProgramFolder();
  ~ProgramFolder();

  std::filesystem::path templates() const { return path() / "HTML Support"; }
  std::filesystem::path defaults() const { return path() / "Defaults"; }
  std::filesystem::path programFile() const { return path() / "krn2html"; }
  // The user's own settings folder while the object lives (not created).
  std::filesystem::path userSettings() const { return path() / "user-config" / "krn2html"; }

  // Writes a template into "HTML Support".
  void AddTemplate(const std::string& name, const std::string& text) const;

 private:
  std::string savedUserConfig_;
  bool hadUserConfig_ = false;
};

}  // namespace apptest
