// A fresh folder under the system's temporary folder, removed with its files at the end.
#pragma once

#include <string>

class TempFolder {
 public:
  // Creates the folder; path() is empty when that failed.
  TempFolder();
  // Removes the folder with every file and sub-folder in it.
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  // The folder's full path, without a trailing '\'.
  const std::string& path() const { return path_; }
  // The full path of name inside the folder.
  std::string Join(const std::string& name) const { return path_ + "\\" + name; }
  // Creates a file inside the folder holding text; false on failure.
  bool WriteFile(const std::string& name, const std::string& text) const;
  // The whole content of a file inside the folder, or "<missing>" when it cannot be read.
  std::string ReadFile(const std::string& name) const;

 private:
  std::string path_;
};
