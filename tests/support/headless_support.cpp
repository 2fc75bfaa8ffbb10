#include "headless_support.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <vector>

#include "platform/gui_input.h"  // headless_desktop.h uses KeyState without including it
#include "platform/headless/headless_desktop.h"
#include "ui/toolkit_runtime.h"

namespace apptest {

HeadlessToolkit::HeadlessToolkit() {
  headless::ResetDesktop();
  started_ = ToolkitStart(nullptr, true);
  EXPECT_TRUE(started_) << "the toolkit does not start";
}

HeadlessToolkit::~HeadlessToolkit() {
  if (!started_) return;
  ToolkitContext* context = GetToolkitContext();
  EXPECT_NE(context, nullptr);
  if (context != nullptr) {
    EXPECT_EQ(context->bytesInUse, 0) << "the toolkit allocator still holds bytes: a leak";
  }
  ToolkitStop();
  headless::ResetDesktop();
}

int HeadlessToolkit::MessageBoxCount() const {
  return static_cast<int>(headless::MessageBoxes().size());
}

std::string HeadlessToolkit::MessageBoxTitle(int index) const {
  return headless::MessageBoxes().at(static_cast<size_t>(index)).title;
}

std::string HeadlessToolkit::MessageBoxText(int index) const {
  return headless::MessageBoxes().at(static_cast<size_t>(index)).text;
}

namespace {

void Put(std::vector<unsigned char>& out, size_t at, uint64_t value, int width) {
  if (out.size() < at + width) out.resize(at + width, 0);
  for (int i = 0; i < width; ++i) out[at + i] = static_cast<unsigned char>(value >> (8 * i));
}

void Append(std::vector<unsigned char>& out, const void* bytes, size_t count) {
  const unsigned char* p = static_cast<const unsigned char*>(bytes);
  out.insert(out.end(), p, p + count);
}

void AppendRecord(std::vector<unsigned char>& block, const std::string& key, const void* value,
                  size_t valueSize) {
  const size_t at = block.size();
  Put(block, at, key.size() + 1, 2);
  Put(block, at + 2, valueSize, 2);
  Append(block, key.c_str(), key.size() + 1);
  Append(block, value, valueSize);
}

}  // namespace

bool WriteVersionedFile(const std::string& nativePath, const std::string& productVersion) {
  if (!KRN_TEST_ELF_PROGRAMS) return false;
  // The version block: magic, size, then (key, value) records.
  std::vector<unsigned char> block;
  Append(block, "KRNVER1", 8);
  Put(block, 8, 0, 4);
  const unsigned char translation[] = {0x09, 0x04, 0xB0, 0x04};
  AppendRecord(block, "\\VarFileInfo\\Translation", translation, sizeof translation);
  AppendRecord(block, "\\StringFileInfo\\040904B0\\ProductVersion", productVersion.c_str(),
               productVersion.size() + 1);
  Put(block, 8, block.size(), 4);

  // A 64-bit little-endian ELF file with the sections: none, names, version block.
  const char names[] = "\0.shstrtab\0.krn_version";
  std::vector<unsigned char> file(64, 0);
  Append(file, "", 0);
  file[0] = 0x7f;
  file[1] = 'E';
  file[2] = 'L';
  file[3] = 'F';
  file[4] = 2;  // 64-bit
  file[5] = 1;  // little-endian
  file[6] = 1;  // version
  const size_t namesAt = file.size();
  Append(file, names, sizeof names);
  const size_t blockAt = file.size();
  Append(file, block.data(), block.size());
  while (file.size() % 8 != 0) file.push_back(0);
  const size_t headersAt = file.size();
  file.resize(headersAt + 3 * 64, 0);
  // Section 1: the names (SHT_STRTAB), section 2: the block (SHT_PROGBITS).
  Put(file, headersAt + 64 + 0, 1, 4);
  Put(file, headersAt + 64 + 4, 3, 4);
  Put(file, headersAt + 64 + 24, namesAt, 8);
  Put(file, headersAt + 64 + 32, sizeof names, 8);
  Put(file, headersAt + 128 + 0, 11, 4);
  Put(file, headersAt + 128 + 4, 1, 4);
  Put(file, headersAt + 128 + 24, blockAt, 8);
  Put(file, headersAt + 128 + 32, block.size(), 8);
  Put(file, 40, headersAt, 8);  // e_shoff
  Put(file, 58, 64, 2);         // e_shentsize
  Put(file, 60, 3, 2);          // e_shnum
  Put(file, 62, 1, 2);          // e_shstrndx

  std::ofstream out(nativePath, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
  return static_cast<bool>(out);
}

}  // namespace apptest

#include "core/button_block.h"
#include "window/program_entry.h"
#include "window/window_globals.h"

namespace apptest {

ProgramRun::ProgramRun() {
  headless::ResetDesktop();
  restartRequested = false;
  loadSavedPrefs = true;
  savedWindowRect = SavedRect{};
  start_ = headless::Now();
  started_ = ToolkitStart(nullptr, true);
  EXPECT_TRUE(started_) << "the toolkit does not start";
}

ProgramRun::~ProgramRun() {
  if (started_) {
    ToolkitContext* context = GetToolkitContext();
    if (context != nullptr) {
      EXPECT_EQ(context->bytesInUse, 0) << "the toolkit allocator still holds bytes: a leak";
    }
    ToolkitStop();
  }
  headless::ResetDesktop();
  ButtonBlock()->Reset();
  restartRequested = false;
  loadSavedPrefs = true;
  savedWindowRect = SavedRect{};
}

void ProgramRun::At(uint32_t delay, std::function<void()> action) {
  headless::ScheduleAction(start_ + delay, std::move(action));
}

int ProgramRun::Run(const char* commandLine) {
  At(60000, [this] {
    if (mainWindow != nullptr && headless::IsLive(mainWindow)) {
      guardFired_ = true;
      headless::RequestClose(mainWindow);
    }
  });
  return RunProgram(nullptr, commandLine);
}

}  // namespace apptest
