// The command line of krn2html-convert: its options and operands, read the way GNU programs read
// theirs (short options bundled or with their argument attached, long options abbreviated to any
// unambiguous prefix with "=ARG" or the next argument, options and operands in any order, "--"
// ending the options, "-" an operand).
#pragma once

#include "base/string_buffer.h"
#include "base/string_list.h"

// The program's name in its messages.
extern const char kConvertProgramName[];
// The text of --help: the reference of every option.
extern const char kConvertHelpText[];

// What one command line asks for. Texts point into the argument vector, which outlives them.
struct ConvertOptions {
  const char* templateArg = nullptr;     // -t: a name in "HTML Support" or a template file
  StringList setNames;                   // -s NAME=VALUE in order; a later one for a name wins
  StringList setValues;                  // parallel to setNames
  bool noSavedValues = false;            // --no-saved-values
  const char* output = nullptr;          // -o PAGE, "-" for standard output
  const char* outputDir = nullptr;       // -d DIR
  bool recursive = false;                // -r
  bool strict = false;                   // --strict
  bool listTemplates = false;            // --list-templates
  bool listFields = false;               // --fields
  const char* fieldsTemplate = nullptr;  // --fields=TEMPLATE, or its one operand
  bool open = false;                     // --open
  bool watch = false;                    // --watch
  int jobs = 0;                          // -j N: scenes converted at once; 0: one per processor
  int verbosity = 1;                     // 0 with -q, 2 with -v (the last one given counts)
  bool help = false;
  bool version = false;
  StringList scenes;  // the operands in order
};

// Reads argv[1..argc-1] into options. False for a usage error, with error set to one line
// without the program's name ("unrecognized option '--x'"): an unknown or ambiguous option, a
// missing or unexpected option argument, a --jobs that is not a number from 1 to 1024, a --set
// without "=" or without a name, --output together with --output-dir or with more than one scene,
// standard input named twice, --watch with standard input or standard output, or no scene when
// neither --help, --version, --list-templates nor
// --fields is given. --help and
// --version win over everything after a successful read.
bool ParseConvertOptions(int argc, const char* const* argv, ConvertOptions& options,
                         StringBuffer& error);
