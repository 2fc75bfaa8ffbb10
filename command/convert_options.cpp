#include "command/convert_options.h"

#include <cstring>

const char kConvertProgramName[] = "krn2html-convert";

const char kConvertHelpText[] =
    "Usage: krn2html-convert [OPTION]... SCENE...\n"
    "Turn scene files (.krn, .xml, .krq) into HTML pages from a template, as the\n"
    "window program does, without a window. SCENE \"-\" is standard input.\n"
    "\n"
    "  -t, --template=NAME|PATH  a template of \"HTML Support\" by file name, or any\n"
    "                            template file; default: the remembered default\n"
    "                            template, as the window uses\n"
    "  -s, --set=NAME=VALUE      a field value (repeatable); other fields take the\n"
    "                            remembered values, then the template's defaults\n"
    "      --no-saved-values     ignore the remembered values (template defaults only)\n"
    "  -o, --output=PAGE         the page of a single scene (\"-\": standard output)\n"
    "  -d, --output-dir=DIR      pages go to DIR/<scene name>.html (DIR is created);\n"
    "                            default: beside each scene, <scene name>.html\n"
    "  -r, --recursive           a SCENE that is a folder stands for every .krn, .xml\n"
    "                            and .krq below it, mirrored under --output-dir\n"
    "      --strict              a scene with malformed XML fails instead of giving\n"
    "                            a page without buttons\n"
    "  -j, --jobs=N              convert N scenes at once (default: one per\n"
    "                            processor the command may use); the pages and\n"
    "                            messages are those of one scene after the other\n"
    "      --open                show the first page written in the user's browser\n"
    "      --watch               stay after the conversion and convert a scene again\n"
    "                            whenever it, the template or the remembered values\n"
    "                            change, until Ctrl-C (status 0); a malformed scene\n"
    "                            fails in one line and keeps its last page\n"
    "      --list-templates      print the templates, the default one marked, and exit\n"
    "      --fields[=TEMPLATE]   print the fields of a template with their defaults,\n"
    "                            and exit\n"
    "  -q, --quiet               no progress line and no warnings\n"
    "  -v, --verbose             name every page written\n"
    "      --help                display this help and exit\n"
    "      --version             output version information and exit\n"
    "\n"
    "The page of a scene read from standard input goes to standard output unless\n"
    "--output names a file or --output-dir a folder (DIR/page.html). Pages are\n"
    "written whole or not at all.\n"
    "\n"
    "Exit status: 0 when every page was written, 1 when a scene failed (one line on\n"
    "standard error each; the other scenes are still converted), 2 for a usage error,\n"
    "130 when stopped by Ctrl-C or SIGTERM (no page half written, no scene started\n"
    "after it; a second Ctrl-C ends the command at once; --watch ends with 0).\n"
    "\n"
    "The remembered template and values are those the window program saved; they are\n"
    "read, never written. They live in the program folder's \"Defaults\" when it\n"
    "exists and may be written (an unpacked or portable copy), else in the user's\n"
    "settings folder ($XDG_CONFIG_HOME/krn2html, by default ~/.config/krn2html; on\n"
    "Windows %APPDATA%\\krn2html), whose \"templates\" folder adds templates to\n"
    "\"HTML Support\" beside the program; there, a file the user has not saved yet\n"
    "is read from the program folder's \"Defaults\" if it has one.\n";

namespace {

enum class OptionId {
  kTemplate,
  kSet,
  kNoSavedValues,
  kOutput,
  kOutputDir,
  kRecursive,
  kStrict,
  kJobs,
  kOpen,
  kWatch,
  kListTemplates,
  kFields,
  kQuiet,
  kVerbose,
  kHelp,
  kVersion,
};

enum class Argument { kNone, kRequired, kOptional };

struct OptionRow {
  const char* longName;
  char shortName;  // 0: long form only
  Argument argument;
  OptionId id;
};

constexpr OptionRow kOptions[] = {
    {"template", 't', Argument::kRequired, OptionId::kTemplate},
    {"set", 's', Argument::kRequired, OptionId::kSet},
    {"no-saved-values", 0, Argument::kNone, OptionId::kNoSavedValues},
    {"output", 'o', Argument::kRequired, OptionId::kOutput},
    {"output-dir", 'd', Argument::kRequired, OptionId::kOutputDir},
    {"recursive", 'r', Argument::kNone, OptionId::kRecursive},
    {"strict", 0, Argument::kNone, OptionId::kStrict},
    {"jobs", 'j', Argument::kRequired, OptionId::kJobs},
    {"open", 0, Argument::kNone, OptionId::kOpen},
    {"watch", 0, Argument::kNone, OptionId::kWatch},
    {"list-templates", 0, Argument::kNone, OptionId::kListTemplates},
    {"fields", 0, Argument::kOptional, OptionId::kFields},
    {"quiet", 'q', Argument::kNone, OptionId::kQuiet},
    {"verbose", 'v', Argument::kNone, OptionId::kVerbose},
    {"help", 0, Argument::kNone, OptionId::kHelp},
    {"version", 0, Argument::kNone, OptionId::kVersion},
};

bool Fail(StringBuffer& error, const char* format, const char* a, const char* b = "") {
  if (!error.Format(format, a, b)) error.SetText("invalid command line", -1, 0);
  return false;
}

// The option whose long name is name (length characters), exactly or as the only option that
// starts with it; null with error set otherwise.
const OptionRow* FindLong(const char* name, size_t length, const char* arg, StringBuffer& error) {
  const OptionRow* found = nullptr;
  int matches = 0;
  for (const OptionRow& row : kOptions) {
    if (std::strncmp(row.longName, name, length) != 0) continue;
    if (row.longName[length] == '\0') return &row;
    found = &row;
    ++matches;
  }
  if (matches == 1) return found;
  Fail(error, matches == 0 ? "unrecognized option '%s'" : "option '%s' is ambiguous", arg);
  return nullptr;
}

const OptionRow* FindShort(char name) {
  for (const OptionRow& row : kOptions) {
    if (row.shortName == name) return &row;
  }
  return nullptr;
}

// Applies one option with its argument (null when it has none).
bool Apply(const OptionRow& row, const char* value, ConvertOptions& options, StringBuffer& error) {
  switch (row.id) {
    case OptionId::kTemplate:
      options.templateArg = value;
      return true;
    case OptionId::kSet: {
      const char* equals = std::strchr(value, '=');
      if (equals == nullptr) return Fail(error, "--set needs NAME=VALUE, not '%s'", value);
      if (equals == value) return Fail(error, "--set needs a field name before '=' in '%s'", value);
      StringBuffer name;
      if (!name.SetText(value, int(equals - value), 0) || !options.setNames.Append(name.Data()) ||
          !options.setValues.Append(equals + 1)) {
        return Fail(error, "out of memory reading '%s'", value);
      }
      return true;
    }
    case OptionId::kNoSavedValues:
      options.noSavedValues = true;
      return true;
    case OptionId::kOutput:
      options.output = value;
      return true;
    case OptionId::kOutputDir:
      options.outputDir = value;
      return true;
    case OptionId::kRecursive:
      options.recursive = true;
      return true;
    case OptionId::kStrict:
      options.strict = true;
      return true;
    case OptionId::kJobs: {
      // A decimal count; more workers than that only cost memory.
      constexpr int kMostJobs = 1024;
      int jobs = 0;
      const char* at = value;
      for (; *at >= '0' && *at <= '9' && jobs <= kMostJobs; ++at) jobs = jobs * 10 + (*at - '0');
      if (at == value || *at != '\0' || jobs < 1 || jobs > kMostJobs) {
        return Fail(error, "invalid number of jobs '%s' (1 to 1024)", value);
      }
      options.jobs = jobs;
      return true;
    }
    case OptionId::kOpen:
      options.open = true;
      return true;
    case OptionId::kWatch:
      options.watch = true;
      return true;
    case OptionId::kListTemplates:
      options.listTemplates = true;
      return true;
    case OptionId::kFields:
      options.listFields = true;
      if (value != nullptr) options.fieldsTemplate = value;
      return true;
    case OptionId::kQuiet:
      options.verbosity = 0;
      return true;
    case OptionId::kVerbose:
      options.verbosity = 2;
      return true;
    case OptionId::kHelp:
      options.help = true;
      return true;
    case OptionId::kVersion:
      options.version = true;
      return true;
  }
  return false;
}

// Reads the long option in argv[i] ("--name" or "--name=value"), taking its argument from the
// next element when it needs one; i moves past what was used.
bool ReadLong(int argc, const char* const* argv, int& i, ConvertOptions& options,
              StringBuffer& error) {
  const char* arg = argv[i];
  const char* name = arg + 2;
  const char* equals = std::strchr(name, '=');
  const size_t length = equals != nullptr ? size_t(equals - name) : std::strlen(name);
  const OptionRow* row = FindLong(name, length, arg, error);
  if (row == nullptr) return false;
  const char* value = equals != nullptr ? equals + 1 : nullptr;
  if (row->argument == Argument::kNone && value != nullptr) {
    return Fail(error, "option '--%s' doesn't allow an argument", row->longName);
  }
  if (row->argument == Argument::kRequired && value == nullptr) {
    if (i + 1 >= argc) return Fail(error, "option '--%s' requires an argument", row->longName);
    value = argv[++i];
  }
  return Apply(*row, value, options, error);
}

// Reads the bundle of short options in argv[i] ("-qv", "-tNAME", "-t NAME").
bool ReadShort(int argc, const char* const* argv, int& i, ConvertOptions& options,
               StringBuffer& error) {
  for (const char* at = argv[i] + 1; *at != '\0'; ++at) {
    const OptionRow* row = FindShort(*at);
    if (row == nullptr) {
      const char letter[] = {*at, '\0'};
      return Fail(error, "invalid option -- '%s'", letter);
    }
    if (row->argument == Argument::kNone) {
      if (!Apply(*row, nullptr, options, error)) return false;
      continue;
    }
    const char* value = at + 1;
    if (*value == '\0') {
      if (i + 1 >= argc) {
        const char letter[] = {*at, '\0'};
        return Fail(error, "option requires an argument -- '%s'", letter);
      }
      value = argv[++i];
    }
    return Apply(*row, value, options, error);
  }
  return true;
}

// The checks that need the whole command line.
bool CheckCombination(ConvertOptions& options, StringBuffer& error) {
  if (options.help || options.version) return true;
  const int scenes = options.scenes.count;
  if (options.listTemplates || options.listFields) {
    if (options.listTemplates && options.listFields) {
      return Fail(error, "--list-templates and --fields cannot be combined", "");
    }
    if (options.listFields && options.fieldsTemplate == nullptr && scenes == 1) {
      options.fieldsTemplate = options.scenes.items[0].Data();
    } else if (scenes > 0) {
      return Fail(error, "extra operand '%s'", options.scenes.items[scenes - 1].Data());
    }
    return true;
  }
  if (scenes == 0) return Fail(error, "missing scene operand", "");
  // An empty name would otherwise fall back to standard output or to the current folder.
  if (options.output != nullptr && *options.output == '\0') {
    return Fail(error, "--output needs a file name ('-' for standard output)", "");
  }
  if (options.outputDir != nullptr && *options.outputDir == '\0') {
    return Fail(error, "--output-dir needs a folder name", "");
  }
  if (options.output != nullptr && options.outputDir != nullptr) {
    return Fail(error, "--output and --output-dir cannot be combined", "");
  }
  if (options.output != nullptr && (scenes > 1 || options.recursive)) {
    return Fail(error, "--output names the page of a single scene", "");
  }
  int standardInput = 0;
  for (int i = 0; i < scenes; ++i) standardInput += options.scenes.items[i].Equals("-") ? 1 : 0;
  if (standardInput > 1) return Fail(error, "standard input ('-') can be read only once", "");
  // A watch follows files: standard input cannot change, and a page on standard output could
  // not be written again.
  if (options.watch && standardInput > 0) {
    return Fail(error, "--watch follows scene files, not standard input ('-')", "");
  }
  if (options.watch && (options.output != nullptr && std::strcmp(options.output, "-") == 0)) {
    return Fail(error, "--watch writes page files, not standard output ('-o -')", "");
  }
  return true;
}

}  // namespace

bool ParseConvertOptions(int argc, const char* const* argv, ConvertOptions& options,
                         StringBuffer& error) {
  bool optionsEnded = false;
  for (int i = 1; i < argc; ++i) {
    const char* arg = argv[i] != nullptr ? argv[i] : "";
    if (optionsEnded || arg[0] != '-' || arg[1] == '\0') {
      if (!options.scenes.Append(arg)) return Fail(error, "out of memory reading '%s'", arg);
      continue;
    }
    if (arg[1] == '-' && arg[2] == '\0') {
      optionsEnded = true;
      continue;
    }
    const bool ok = arg[1] == '-' ? ReadLong(argc, argv, i, options, error)
                                  : ReadShort(argc, argv, i, options, error);
    if (!ok) return false;
  }
  return CheckCombination(options, error);
}
