#include "command/convert_command.h"

#include <cstring>
#include <memory>
#include <new>

#include "base/file_handle.h"
#include "base/path_buffer.h"
#include "base/path_split.h"
#include "base/whole_file_reader.h"
#include "command/convert_help.h"
#include "command/convert_jobs_runner.h"
#include "command/convert_options.h"
#include "command/convert_report.h"
#include "command/convert_settings.h"
#include "command/convert_stop.h"
#include "command/page_clashes.h"
#include "command/page_opener.h"
#include "command/scene_jobs.h"
#include "command/scene_watch.h"
#include "core/animation_buttons.h"
#include "core/button_block.h"
#include "core/conversion_failure.h"
#include "core/page_conversion.h"
#include "core/text_of.h"
#include "krn_version.h"
#include "platform/console.h"
#include "platform/file_replace.h"
#include "platform/file_system.h"
#include "platform/folder_watch.h"
#include "platform/native_path.h"
#include "platform/processor_count.h"
#include "settings/templates.h"

namespace {

void WriteOut(const char* text) {
  SysWriteStandard(kStandardOutput, text, uint32_t(std::strlen(text)));
}

void WriteError(const char* text) {
  SysWriteStandard(kStandardError, text, uint32_t(std::strlen(text)));
}

int UsageError(const char* message) {
  StringBuffer text;
  if (!text.Format("%s: %s\nTry '%s --help' for more information.\n", kConvertProgramName, message,
                   kConvertProgramName)) {
    text.SetText("krn2html-convert: invalid command line\n", -1, 0);
  }
  WriteError(TextOf(text));
  return kConvertExitUsage;
}

// The reason the system gave for the last failed call.
void LastErrorText(StringBuffer& out) {
  char reason[256] = "";
  SysErrorText(SysLastError(), reason, sizeof reason);
  out.SetText(reason, -1, 0);
}

// Collects the parse error of one scene, which the command tells as a warning or, with
// --strict, as the scene's failure.
struct ParseErrorNote {
  bool seen = false;
  int32_t line = 0;
  StringBuffer message;
};

void OnParseError(void* context, const char* message, int32_t line) {
  ParseErrorNote* note = static_cast<ParseErrorNote*>(context);
  note->seen = true;
  note->line = line;
  note->message.SetText(message != nullptr ? message : "", -1, 0);
}

// Gives standard input to the parser block by block (an XmlTree::BlockReader).
bool ReadStandardInputBlock(void* /*context*/, char* into, uint32_t room, uint32_t* got) {
  return SysReadStandardInput(into, room, got);
}

// Makes sure the folder of a page exists, creating it and the folders above it as needed;
// remembers the last folder made so that a run into one folder asks the system once.
class PageFolders {
 public:
  // False, with the folder that could not be made (user form) and the reason, on failure.
  bool Ensure(const char* page, StringBuffer& failedFolder, StringBuffer& reason) {
    const PathSpans spans = SplitPathSpans(page);
    StringBuffer folder;
    if (!folder.SetText(page, int(spans.nameStart), 0)) return false;
    if (folder.Equals(TextOf(last_))) return true;
    char* text = folder.MutableData();
    const unsigned length = folder.Length();
    if (length > 1 && text[length - 1] == '\\') text[length - 1] = '\0';
    const uint32_t attributes = SysGetFileAttributes(text);
    if (attributes == kSysInvalidAttributes || (attributes & kSysAttributeDirectory) == 0) {
      // Each level from the top, so that a missing parent is made first.
      for (unsigned i = 3; i <= length; ++i) {
        if (text[i] != '\\' && text[i] != '\0') continue;
        const char kept = text[i];
        text[i] = '\0';
        const bool made = SysCreateFolder(text);
        text[i] = kept;
        if (!made && kept == '\0') {
          LastErrorText(reason);
          UserPathOf(text, failedFolder);
          return false;
        }
        if (kept == '\0') break;
      }
    }
    last_.SetText(page, int(spans.nameStart), 0);
    return true;
  }

 private:
  StringBuffer last_;
};

// The page path that FILENAME is computed from when the page goes to standard output: the
// scene's page in the current folder, as if written there ("page.html" for standard input).
bool PagePathForStandardOutput(const char* scene, const char* currentFolder, StringBuffer& out) {
  const char* name = scene + SplitPathSpans(scene).nameStart;
  return PagePathIn(currentFolder, *name != '\0' ? name : "page", out);
}

class ConvertRun {
 public:
  ConvertRun(const ConvertOptions& options, ConvertSettings& settings, ConvertReport& report,
             const char* currentFolder)
      : options_(options), settings_(settings), report_(report), currentFolder_(currentFolder) {
    // One version and one template text for every page of the run: neither file is expected
    // to change meanwhile. A template that cannot be read now is read (and told) per page.
    ProgramBuildText(build_);
    unsigned length = 0;
    template_ = ReadWholeFile(settings.templatePath, length);
    templateLength_ = length;
    // The named fields and BUILD are the same on every page: filled once. Should that fail,
    // each page fills them and tells the failure.
    if (template_ != nullptr) {
      ConversionRequest request = BaseRequest();
      ConversionFailure failure;
      filled_ = FillTemplate(request, filledTemplate_, failure);
    }
  }

  // Converts one job; any failure is told to the report.
  void Convert(const SceneJobs& jobs, int i) {
    const char* shown = TextOf(jobs.shown.items[i]);
    const char* scene = TextOf(jobs.scenes.items[i]);
    const char* page = TextOf(jobs.pages.items[i]);
    // After Ctrl-C no further scene is started.
    if (StopAsked()) return;
    if (jobs.problems.items[i].Length() != 0) {
      report_.Failure(shown, TextOf(jobs.problems.items[i]));
      return;
    }

    ConversionRequest request = BaseRequest();
    if (filled_) request.filledTemplate = &filledTemplate_;
    request.scenePath = scene;
    request.pagePath = page;
    ParseErrorNote parseError;
    request.parseErrorHandler = &OnParseError;
    request.parseErrorContext = &parseError;

    // The scene goes to the parser block by block, as in the window program, so that it is
    // never held whole (standard input neither). One that cannot be read fails with the
    // system's reason instead of giving a page without buttons.
    ConversionFailure failure;
    StringBuffer reason;
    SysSetLastError(0);
    // A scene that gives no buttons (not XML, a .krq) leaves the block as it was: empty it,
    // so that its page never carries the buttons of the scene this thread converted before.
    ClearButtonBlock();
    const PathBuffer scenePath(scene);
    const ButtonsOutcome outcome =
        *scene == '\0'
            ? CollectButtonsFromReader(&ReadStandardInputBlock, nullptr, "", &OnParseError,
                                       &parseError)
            : CollectButtons(scenePath, &OnParseError, &parseError, &ReadOnUnlessStopped, nullptr);
    // A read ended by Ctrl-C (Cancelled, or standard input interrupted) is no failure of the
    // scene: the run ends as stopped.
    if (StopAsked()) return;
    bool readable = outcome != ButtonsOutcome::Unreadable;
    if (outcome == ButtonsOutcome::NotScanned) {
      // Not looked into (a .krq), but a scene that cannot be opened still fails.
      FileHandle file(scenePath);
      readable = file.Open(0);
    }
    if (!readable) {
      if (SysLastError() == 0) SysSetLastError(SysDiskFullError());
      LastErrorText(reason);
      return report_.Failure(shown, TextOf(reason));
    }
    if (!ButtonsOutcomeResult(outcome, scene, &failure)) return Fail(shown, failure);
    if (parseError.seen) {
      StringBuffer line;
      if (!line.Format("%s:%d: Parse Error: %s", shown, int(parseError.line),
                       TextOf(parseError.message))) {
        line.SetText("Parse Error", -1, 0);
      }
      if (options_.strict) return report_.FailureLine(TextOf(line));
      report_.Warning(TextOf(line));
    }

    if (*page == '\0') return WriteToStandardOutput(request, shown);
    StringBuffer folder;
    if (options_.outputDir != nullptr && !folders_.Ensure(page, folder, reason)) {
      StringBuffer text;
      if (!text.Format("Could not make the folder %s: %s", TextOf(folder), TextOf(reason))) {
        text.SetText("Could not make the page's folder", -1, 0);
      }
      return report_.Failure(shown, TextOf(text));
    }
    if (!AssemblePage(request, failure)) {
      // A page left out because of Ctrl-C is no failure either.
      if (!StopAsked()) Fail(shown, failure);
      return;
    }
    StringBuffer userPage, note;
    if (options_.verbosity >= 2 && UserPathOf(page, userPage) &&
        note.Format("%s -> %s", shown, TextOf(userPage))) {
      report_.Note(TextOf(note));
    }
  }

 private:
  // The request's parts that are the same for every page of the run.
  ConversionRequest BaseRequest() const {
    ConversionRequest request;
    request.templatePath = settings_.templatePath.path;
    request.fieldNames = &settings_.state.fieldNames;
    request.fieldValues = &settings_.state.fieldValues;
    request.buildText = TextOf(build_);
    request.templateText = template_.get();
    request.templateLength = templateLength_;
    return request;
  }

  void Fail(const char* shown, const ConversionFailure& failure) {
    StringBuffer message;
    if (!failure.FormatMessage(message) || message.Length() == 0) {
      message.SetText("The page could not be made", -1, 0);
    }
    report_.Failure(shown, TextOf(message));
  }

  void WriteToStandardOutput(ConversionRequest& request, const char* shown) {
    StringBuffer pagePath;
    if (!PagePathForStandardOutput(request.scenePath, currentFolder_, pagePath)) {
      return report_.Failure(shown, "Not enough memory to make the page");
    }
    request.pagePath = TextOf(pagePath);
    StringBuffer text;
    ConversionFailure failure;
    if (!BuildPageText(request, text, failure)) return Fail(shown, failure);
    if (!SysWriteStandard(kStandardOutput, TextOf(text), text.Length())) {
      StringBuffer reason;
      LastErrorText(reason);
      StringBuffer message;
      if (!message.Format("Could not write the page to standard output: %s", TextOf(reason))) {
        message.SetText("Could not write the page to standard output", -1, 0);
      }
      report_.Failure(shown, TextOf(message));
    }
  }

  const ConvertOptions& options_;
  ConvertSettings& settings_;
  ConvertReport& report_;
  const char* currentFolder_;
  StringBuffer build_;
  std::unique_ptr<char[]> template_;
  uint32_t templateLength_ = 0;
  FilledTemplate filledTemplate_;
  bool filled_ = false;
  PageFolders folders_;
};

// Makes the listed jobs and marks their pages' clashes, in order.
class JobMaking : public JobPreparer {
 public:
  explicit JobMaking(SceneJobs& jobs) : jobs_(jobs) {}
  bool Prepare(int upTo) override {
    failed_ = !MakeSceneJobs(jobs_, upTo) || !clashes_.Mark(jobs_, upTo);
    return !failed_;
  }
  bool failed() const { return failed_; }

 private:
  SceneJobs& jobs_;
  PageClashes clashes_;
  bool failed_ = false;
};

int OutOfMemory() {
  WriteError("krn2html-convert: out of memory\n");
  return kConvertExitFailed;
}

// Tells that the templates folder holds no template; the run's status.
int NoTemplates() {
  ConversionFailure failure;
  SetNoTemplatesFailure(failure);
  StringBuffer message, line;
  if (!failure.FormatMessage(message) ||
      !line.Format("%s: %s\n", kConvertProgramName, TextOf(message))) {
    line.SetText("krn2html-convert: No templates\n", -1, 0);
  }
  WriteError(TextOf(line));
  return kConvertExitFailed;
}

// A -j worker's converter: a run of its own (template, build text, page folders) over the
// shared job list and settings, which no worker changes.
class RunJobConverter : public JobConverter {
 public:
  RunJobConverter(const ConvertOptions& options, ConvertSettings& settings, ConvertReport& report,
                  const char* currentFolder, const SceneJobs& jobs)
      : run_(options, settings, report, currentFolder), jobs_(jobs) {}
  void Convert(int job) override { run_.Convert(jobs_, job); }

 private:
  ConvertRun run_;
  const SceneJobs& jobs_;
};

class RunJobConverterMaker : public JobConverterMaker {
 public:
  RunJobConverterMaker(const ConvertOptions& options, ConvertSettings& settings,
                       const char* currentFolder, const SceneJobs& jobs)
      : options_(options), settings_(settings), currentFolder_(currentFolder), jobs_(jobs) {}
  std::unique_ptr<JobConverter> Make(ConvertReport& report) override {
    return std::unique_ptr<JobConverter>(
        new (std::nothrow) RunJobConverter(options_, settings_, report, currentFolder_, jobs_));
  }

 private:
  const ConvertOptions& options_;
  ConvertSettings& settings_;
  const char* currentFolder_;
  const SceneJobs& jobs_;
};

// --watch: a converter of the jobs for each set of settings the watch reads.
class WatchJobConverterMaker : public WatchConverterMaker {
 public:
  WatchJobConverterMaker(const ConvertOptions& options, const char* currentFolder,
                         const SceneJobs& jobs)
      : options_(options), currentFolder_(currentFolder), jobs_(jobs) {}
  std::unique_ptr<JobConverter> Make(ConvertSettings& settings, ConvertReport& report) override {
    return std::unique_ptr<JobConverter>(
        new (std::nothrow) RunJobConverter(options_, settings, report, currentFolder_, jobs_));
  }

 private:
  const ConvertOptions& options_;
  const char* currentFolder_;
  const SceneJobs& jobs_;
};

int ListTemplates(const ConvertSettings& settings) {
  const StringList& templates = settings.state.templates;
  for (int i = 0; i < templates.count; ++i) {
    const char* name = TextOf(templates.items[i]);
    StringBuffer line;
    if (line.Format("%s %s\n", settings.defaultTemplate.Equals(name) ? "*" : " ", name)) {
      WriteOut(TextOf(line));
    }
  }
  return kConvertExitOk;
}

int ListFields(const ConvertSettings& settings) {
  const ConverterState& state = settings.state;
  for (int i = 0; i < state.fieldNames.count; ++i) {
    StringBuffer line;
    if (line.SetText(TextOf(state.fieldNames.items[i]), -1, 0) &&
        line.SetText("=", -1, line.Length()) &&
        line.SetText(TextOf(state.fieldValues.items[i]), -1, line.Length()) &&
        line.SetText("\n", -1, line.Length())) {
      WriteOut(TextOf(line));
    }
  }
  return kConvertExitOk;
}

}  // namespace

int RunConvertCommand(int argc, const char* const* argv) {
  ConvertOptions options;
  StringBuffer error;
  if (!ParseConvertOptions(argc, argv, options, error)) return UsageError(TextOf(error));
  if (options.help) {
    WriteConvertHelp();
    return kConvertExitOk;
  }
  if (options.version) {
    WriteOut("krn2html-convert (Tessaly KRN 2 HTML) " KRN_VERSION_DOTTED "\n");
    return kConvertExitOk;
  }

  // Every path of the command line is made full against the folder the command started in:
  // the conversions change the current directory as the window program's do.
  char currentFolder[4 * kPathSize];
  if (CurrentFolderForUserPaths(currentFolder, sizeof currentFolder) == 0) currentFolder[0] = '\0';

  ConvertSettings settings;
  LoadTemplateCatalogue(settings);
  const char* choice = options.listFields && options.fieldsTemplate != nullptr
                           ? options.fieldsTemplate
                           : options.templateArg;
  // Without any template the catalogue has nothing to list and no default: the folder where
  // templates are expected is named. A template file named on the command line still works.
  if (settings.state.templates.count == 0 && (options.listTemplates || choice == nullptr)) {
    return NoTemplates();
  }
  if (options.listTemplates) return ListTemplates(settings);

  const StringList none;
  const bool useSaved = !options.noSavedValues && !options.listFields;
  if (!ChooseTemplate(settings, choice, currentFolder, error) ||
      !FillFieldValues(settings, useSaved, options.listFields ? none : options.setNames,
                       options.setValues, error)) {
    return UsageError(TextOf(error));
  }
  // A settings file of another user is passed over, and said so.
  StringBuffer message;
  StringBuffer line;
  if (settings.foreign.Failed() && settings.foreign.FormatMessage(message) &&
      line.Format("%s: %s\n", kConvertProgramName, TextOf(message))) {
    WriteError(TextOf(line));
  }
  if (options.listFields) return ListFields(settings);

  SceneJobs jobs;
  SceneJobRules rules;
  rules.output = options.output;
  rules.outputDir = options.outputDir;
  rules.recursive = options.recursive;
  rules.currentFolder = currentFolder;
  for (int i = 0; i < options.scenes.count; ++i) {
    if (!AddSceneJobs(TextOf(options.scenes.items[i]), rules, jobs)) return OutOfMemory();
  }

  const int total = jobs.scenes.count;
  ConvertReport report(options.verbosity, total > 1 && SysIsTerminal(kStandardError));
  for (int i = 0; i < jobs.notes.count; ++i) report.Warning(TextOf(jobs.notes.items[i]));
  // Ctrl-C ends the run between blocks and before a page replaces the old one: a plain run
  // then ends as stopped, a watch as a watch ends.
  const bool stopsCaught = WatchForStop();
  // A watch starts before the first conversion, so that a change made meanwhile is not missed.
  // Its pages are never replaced by those of a malformed scene.
  WatchJobConverterMaker watchMaker(options, currentFolder, jobs);
  SceneWatch watch(options, currentFolder, jobs, watchMaker);
  // The jobs are made, and their pages' clashes marked, while the first ones are converted;
  // a watch follows every job from its start.
  JobMaking making(jobs);
  if (options.watch) {
    options.strict = true;
    if (!making.Prepare(total)) return OutOfMemory();
    if (!watch.Start(stopsCaught, settings, report)) return kConvertExitFailed;
  }
  RunJobConverterMaker maker(options, settings, currentFolder, jobs);
  const int firstGood = RunConvertJobs(
      jobs.shown, options.jobs > 0 ? options.jobs : SysUsableProcessors(), report, maker, &making);
  if (making.failed()) return OutOfMemory();
  if (StopAsked()) return options.watch ? kConvertExitOk : TellStopped();
  if (options.open) OpenFirstPage(jobs, firstGood, report);
  if (options.watch) {
    ConvertReport watchReport(options.verbosity, false);
    return watch.Run(settings, watchReport);
  }
  return report.failures() == 0 ? kConvertExitOk : kConvertExitFailed;
}
