// Settings file text: the preferences file of a template is loaded, saved and loaded again;
// the second load must give the same values (a blank value is not saved and comes back as
// the template's default), and saving again must write the same bytes.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "app/converter_state.h"
#include "app/prefs.h"
#include "app/template_fields.h"
#include "fuzz/fuzz_check.h"
#include "platform/native_path.h"
#include "platform/program_file_override.h"

namespace {

// A program folder with its "Defaults", made once; the program file is taken from it.
const std::string& ProgramFolder() {
  static const std::string folder = [] {
    char made[] = "/tmp/krn_fuzz_settings_XXXXXX";
    if (mkdtemp(made) == nullptr) std::abort();
    static std::string path = made;
    if (mkdir((path + "/Defaults").c_str(), 0700) != 0) std::abort();
    char program[260];
    if (!ProgramPathFromNative((path + "/krn2html").c_str(), program, sizeof program) ||
        !SysOverrideProgramFile(program)) {
      std::abort();
    }
    std::atexit([] {
      std::remove((path + "/Defaults/Prefsfuzz.txt").c_str());
      rmdir((path + "/Defaults").c_str());
      rmdir(path.c_str());
    });
    return path;
  }();
  return folder;
}

std::string PrefsFile() {
  return ProgramFolder() + "/Defaults/Prefsfuzz.txt";
}

bool WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out);
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The names the file's lines give, in order, each once: the fields of the template.
std::vector<std::string> NamesInFile(const std::string& text) {
  const std::string delimiter = kFieldDelimiter;
  std::vector<std::string> names;
  size_t line = 0;
  while (line < text.size()) {
    size_t end = text.find_first_of("\r\n", line);
    if (end == std::string::npos) end = text.size();
    const std::string part = text.substr(line, end - line);
    const size_t open = part.find(delimiter);
    if (open != std::string::npos) {
      const size_t start = open + delimiter.size();
      const size_t close = part.find(delimiter, start);
      if (close != std::string::npos && close > start) {
        const std::string name = part.substr(start, close - start);
        bool known = false;
        for (const std::string& n : names) known = known || n == name;
        if (!known) names.push_back(name);
      }
    }
    line = end + 1;
  }
  return names;
}

// Sets the state's fields to names, each with its default "default <i>".
void SetFields(ConverterState& state, const std::vector<std::string>& names) {
  state.fieldNames.Clear();
  state.fieldValues.Clear();
  for (size_t i = 0; i < names.size(); ++i) {
    state.fieldNames.Append(names[i].c_str());
    state.fieldValues.Append(("default " + std::to_string(i)).c_str());
  }
}

std::vector<std::string> Values(const ConverterState& state) {
  std::vector<std::string> values;
  for (int i = 0; i < state.fieldValues.count; ++i) {
    const char* text = state.fieldValues.items[i].Data();
    values.emplace_back(text != nullptr ? text : "");
  }
  return values;
}

bool IsBlank(const std::string& value) {
  return value.find_first_not_of(" \t") == std::string::npos;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);
  if (!WriteFile(PrefsFile(), input)) return 0;
  // The file is read up to its first zero byte.
  const std::vector<std::string> names = NamesInFile(input.c_str());

  ConverterState state;
  state.templateName.SetText("fuzz.html", -1, 0);
  SetFields(state, names);
  const std::vector<std::string> defaults = Values(state);
  FUZZ_CHECK(LoadPrefs(&state), "the written file cannot be loaded");
  const std::vector<std::string> loaded = Values(state);

  FUZZ_CHECK(SavePrefs(&state), "the settings cannot be saved");
  SetFields(state, names);
  FUZZ_CHECK(LoadPrefs(&state), "the saved file cannot be loaded");
  const std::vector<std::string> again = Values(state);
  FUZZ_CHECK(again.size() == loaded.size(), "field count changed");
  for (size_t i = 0; i < loaded.size(); ++i) {
    const std::string& expected = IsBlank(loaded[i]) ? defaults[i] : loaded[i];
    FUZZ_CHECK(again[i] == expected, "%s: loaded %s, after save and load %s",
               fuzz::Shown(names[i]).c_str(), fuzz::Shown(loaded[i]).c_str(),
               fuzz::Shown(again[i]).c_str());
  }
  // Every value is now non-blank: saving and loading gives it back exactly, and saving the
  // same values twice writes the same bytes.
  FUZZ_CHECK(SavePrefs(&state), "the settings cannot be saved again");
  const std::string savedAgain = ReadFile(PrefsFile());
  SetFields(state, names);
  FUZZ_CHECK(LoadPrefs(&state), "the saved file cannot be loaded again");
  FUZZ_CHECK(Values(state) == again, "non-blank values did not survive save and load");
  FUZZ_CHECK(SavePrefs(&state), "the settings cannot be saved a third time");
  FUZZ_CHECK(ReadFile(PrefsFile()) == savedAgain, "saving the same values wrote other bytes");
  return 0;
}
