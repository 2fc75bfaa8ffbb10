// Test helper: a fresh folder under the system's temporary folder, removed with everything in it.
#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <system_error>

#include "platform/native_path.h"

class TestFolder {
 public:
  TestFolder() {
    static std::atomic<unsigned> serial{0};
    std::random_device seed;
    const std::filesystem::path base = std::filesystem::temp_directory_path();
    for (int attempt = 0; attempt < 100; ++attempt) {
      const std::string name =
          "krn_test_" + std::to_string(seed()) + "_" + std::to_string(serial++);
      std::error_code error;
      if (std::filesystem::create_directory(base / name, error)) {
        native_ = base / name;
        return;
      }
    }
    ADD_FAILURE() << "could not create a test folder in " << base;
  }
  ~TestFolder() {
    std::error_code error;
    if (!native_.empty()) std::filesystem::remove_all(native_, error);
  }
  TestFolder(const TestFolder&) = delete;
  TestFolder& operator=(const TestFolder&) = delete;

  // The folder, or a file in it, as the system names it.
  const std::filesystem::path& Native() const { return native_; }
  std::filesystem::path Native(const std::string& name) const { return native_ / name; }

  // The folder, or a file in it, in the program's view (Z:\... on Linux).
  std::string Program() const { return ProgramView(native_.string()); }
  std::string Program(const std::string& name) const { return ProgramView(Native(name).string()); }

  // Creates (or replaces) a file in the folder holding contents.
  void Write(const std::string& name, const std::string& contents) const {
    std::ofstream out(Native(name), std::ios::binary | std::ios::trunc);
    out << contents;
    ASSERT_TRUE(out.good()) << "could not write " << Native(name);
  }

  // The whole contents of a file in the folder ("" when it cannot be read).
  std::string Read(const std::string& name) const {
    std::ifstream in(Native(name), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }

  // The program's view of a native path ("" when it does not translate).
  static std::string ProgramView(const std::string& native) {
    char out[4096];
    return ProgramPathFromNative(native.c_str(), out, sizeof out) ? std::string(out) : "";
  }

 private:
  std::filesystem::path native_;
};

// Restores the process's current directory when it goes out of scope.
class CurrentDirectoryGuard {
 public:
  CurrentDirectoryGuard() : saved_(std::filesystem::current_path()) {}
  ~CurrentDirectoryGuard() {
    std::error_code error;
    std::filesystem::current_path(saved_, error);
  }
  CurrentDirectoryGuard(const CurrentDirectoryGuard&) = delete;
  CurrentDirectoryGuard& operator=(const CurrentDirectoryGuard&) = delete;

 private:
  std::filesystem::path saved_;
};
