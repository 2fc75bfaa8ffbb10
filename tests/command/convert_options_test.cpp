#include "command/convert_options.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

namespace {

// Parses "krn2html-convert" followed by args; error holds the usage error, if any.
struct Parsed {
  bool ok = false;
  ConvertOptions options;
  std::string error;
};

void Parse(std::initializer_list<const char*> args, Parsed& parsed) {
  std::vector<const char*> argv{"krn2html-convert"};
  argv.insert(argv.end(), args.begin(), args.end());
  StringBuffer error;
  parsed.ok = ParseConvertOptions(int(argv.size()), argv.data(), parsed.options, error);
  parsed.error = error.Data() != nullptr ? error.Data() : "";
}

std::string Text(const char* text) {
  return text != nullptr ? text : "(null)";
}

std::string Scenes(const ConvertOptions& options) {
  std::string all;
  for (int i = 0; i < options.scenes.count; ++i) {
    all += (i ? "|" : "") + Text(options.scenes.items[i].Data());
  }
  return all;
}

std::string Sets(const ConvertOptions& options) {
  std::string all;
  for (int i = 0; i < options.setNames.count; ++i) {
    all += (i ? "|" : "") + Text(options.setNames.items[i].Data()) + "=" +
           Text(options.setValues.items[i].Data());
  }
  return all;
}

TEST(ConvertOptions, EachOptionInEachSpelling) {
  struct Case {
    std::initializer_list<const char*> args;
    const char* what;  // the option's effect, as Describe writes it
  };
  // What a parsed command line asks for, in one comparable line.
  auto describe = [](const ConvertOptions& o) {
    std::string d;
    if (o.templateArg) d += "template=" + Text(o.templateArg) + " ";
    if (o.setNames.count) d += "set=" + Sets(o) + " ";
    if (o.noSavedValues) d += "no-saved ";
    if (o.output) d += "output=" + Text(o.output) + " ";
    if (o.outputDir) d += "dir=" + Text(o.outputDir) + " ";
    if (o.recursive) d += "recursive ";
    if (o.strict) d += "strict ";
    if (o.listTemplates) d += "list ";
    if (o.listFields) d += "fields=" + Text(o.fieldsTemplate) + " ";
    if (o.verbosity != 1) d += "verbosity=" + std::to_string(o.verbosity) + " ";
    if (o.help) d += "help ";
    if (o.version) d += "version ";
    return d + "scenes=" + Scenes(o);
  };
  const Case cases[] = {
      {{"a.krn"}, "scenes=a.krn"},
      {{"-t", "x.html", "a.krn"}, "template=x.html scenes=a.krn"},
      {{"-tx.html", "a.krn"}, "template=x.html scenes=a.krn"},
      {{"--template", "x.html", "a.krn"}, "template=x.html scenes=a.krn"},
      {{"--template=x.html", "a.krn"}, "template=x.html scenes=a.krn"},
      {{"--temp=x.html", "a.krn"}, "template=x.html scenes=a.krn"},
      {{"a.krn", "-t", "one.html", "-t", "two.html"}, "template=two.html scenes=a.krn"},
      {{"-s", "TITLE=My Scene", "--set=A=b=c", "-sEMPTY=", "a.krn"},
       "set=TITLE=My Scene|A=b=c|EMPTY= scenes=a.krn"},
      {{"--no-saved-values", "a.krn"}, "no-saved scenes=a.krn"},
      {{"--no-saved", "a.krn"}, "no-saved scenes=a.krn"},
      {{"-o", "p.html", "a.krn"}, "output=p.html scenes=a.krn"},
      {{"-op.html", "a.krn"}, "output=p.html scenes=a.krn"},
      {{"--output=-", "-"}, "output=- scenes=-"},
      {{"-d", "out", "a.krn", "b.krn"}, "dir=out scenes=a.krn|b.krn"},
      {{"--output-dir", "out", "a.krn"}, "dir=out scenes=a.krn"},
      {{"-r", "scenes"}, "recursive scenes=scenes"},
      {{"--recursive", "-d", "out", "scenes"}, "dir=out recursive scenes=scenes"},
      {{"--strict", "a.krn"}, "strict scenes=a.krn"},
      {{"--list-templates"}, "list scenes="},
      {{"--fields"}, "fields=(null) scenes="},
      {{"--fields=x.html"}, "fields=x.html scenes="},
      {{"--fields", "x.html"}, "fields=x.html scenes=x.html"},
      {{"-t", "y.html", "--fields"}, "template=y.html fields=(null) scenes="},
      {{"-q", "a.krn"}, "verbosity=0 scenes=a.krn"},
      {{"--verbose", "a.krn"}, "verbosity=2 scenes=a.krn"},
      {{"-vq", "a.krn"}, "verbosity=0 scenes=a.krn"},
      {{"-qv", "a.krn"}, "verbosity=2 scenes=a.krn"},
      {{"-qrt", "x.html", "dir"}, "template=x.html recursive verbosity=0 scenes=dir"},
      {{"--help"}, "help scenes="},
      {{"--version", "--bogus-after-is-still-read"}, ""},  // the unknown option fails
      {{"--help", "-o", "p.html", "a.krn", "b.krn"}, "output=p.html help scenes=a.krn|b.krn"},
      {{"--version"}, "version scenes="},
      {{"-", "-d", "out"}, "dir=out scenes=-"},
      {{"--", "-q", "--help"}, "scenes=-q|--help"},
      {{"a.krn", "--", "-"}, "scenes=a.krn|-"},
  };
  for (const Case& c : cases) {
    Parsed parsed;
    Parse(c.args, parsed);
    std::string line;
    for (const char* arg : c.args) line += std::string(arg) + " ";
    if (*c.what == '\0') {
      EXPECT_FALSE(parsed.ok) << line;
      continue;
    }
    EXPECT_TRUE(parsed.ok) << line << ": " << parsed.error;
    EXPECT_EQ(describe(parsed.options), c.what) << line;
  }
}

TEST(ConvertOptions, UsageErrorsSayWhatIsWrong) {
  const struct {
    std::initializer_list<const char*> args;
    const char* error;
  } cases[] = {
      {{}, "missing scene operand"},
      {{"-q"}, "missing scene operand"},
      {{"--bogus", "a.krn"}, "unrecognized option '--bogus'"},
      {{"--o", "p.html", "a.krn"}, "option '--o' is ambiguous"},
      {{"-x", "a.krn"}, "invalid option -- 'x'"},
      {{"-qx", "a.krn"}, "invalid option -- 'x'"},
      {{"a.krn", "-t"}, "option requires an argument -- 't'"},
      {{"a.krn", "--template"}, "option '--template' requires an argument"},
      {{"--quiet=yes", "a.krn"}, "option '--quiet' doesn't allow an argument"},
      {{"-s", "TITLE", "a.krn"}, "--set needs NAME=VALUE, not 'TITLE'"},
      {{"-s", "=x", "a.krn"}, "--set needs a field name before '=' in '=x'"},
      {{"-o", "p.html", "a.krn", "b.krn"}, "--output names the page of a single scene"},
      {{"-o", "p.html", "-r", "scenes"}, "--output names the page of a single scene"},
      {{"-o", "p.html", "-d", "out", "a.krn"}, "--output and --output-dir cannot be combined"},
      {{"-", "a.krn", "-"}, "standard input ('-') can be read only once"},
      {{"--watch", "a.krn", "-"}, "--watch follows scene files, not standard input ('-')"},
      {{"--watch", "-o", "-", "a.krn"}, "--watch writes page files, not standard output ('-o -')"},
      {{"--watch=1", "a.krn"}, "option '--watch' doesn't allow an argument"},
      {{"--list-templates", "a.krn"}, "extra operand 'a.krn'"},
      {{"--fields", "x.html", "y.html"}, "extra operand 'y.html'"},
      {{"--fields=x.html", "y.html"}, "extra operand 'y.html'"},
      {{"--fields", "--list-templates"}, "--list-templates and --fields cannot be combined"},
  };
  for (const auto& c : cases) {
    Parsed parsed;
    Parse(c.args, parsed);
    std::string line;
    for (const char* arg : c.args) line += std::string(arg) + " ";
    EXPECT_FALSE(parsed.ok) << line;
    EXPECT_EQ(parsed.error, c.error) << line;
  }
}

TEST(ConvertOptions, HelpNamesEveryOption) {
  const std::string help = kConvertHelpText;
  for (const char* spelling : {"-t, --template=", "-s, --set=", "--no-saved-values",
                               "-o, --output=", "-d, --output-dir=", "-r, --recursive", "--strict",
                               "--list-templates", "--fields[=TEMPLATE]", "-q, --quiet",
                               "-v, --verbose", "--help", "--version", "Exit status"}) {
    EXPECT_NE(help.find(spelling), std::string::npos) << "--help does not mention " << spelling;
  }
  // Each spelling in the text is one the parser takes.
  for (std::initializer_list<const char*> args :
       {std::initializer_list<const char*>{"--template=x", "a"},
        {"--set=A=1", "a"},
        {"--no-saved-values", "a"},
        {"--output=p", "a"},
        {"--output-dir=d", "a"},
        {"--recursive", "a"},
        {"--strict", "a"},
        {"--list-templates"},
        {"--fields=x"},
        {"--quiet", "a"},
        {"--verbose", "a"},
        {"--help"},
        {"--version"}}) {
    Parsed parsed;
    Parse(args, parsed);
    EXPECT_TRUE(parsed.ok) << *args.begin() << ": " << parsed.error;
  }
}

}  // namespace
