#include "command/scene_watch.h"

#include <cstring>
#include <new>

#include "base/path_buffer.h"
#include "base/path_split.h"
#include "base/string_buffer.h"
#include "command/convert_command.h"
#include "command/convert_stop.h"
#include "core/conversion_failure.h"
#include "core/text_of.h"
#include "platform/file_replace.h"
#include "platform/file_system.h"
#include "platform/folder_watch.h"
#include "platform/native_path.h"
#include "settings/prefs.h"
#include "settings/settings_location.h"
#include "settings/templates.h"

namespace {

// Tags of the followed files that are not scenes (a scene's tag is its job).
constexpr int kTagTemplate = -1;
constexpr int kTagSettings = -2;

bool FolderOfExists(const char* path) {
  StringBuffer folder;
  if (!folder.SetText(path, int(SplitPathSpans(path).nameStart), 0)) return false;
  const uint32_t attributes = SysGetFileAttributes(TextOf(folder));
  return attributes != kSysInvalidAttributes && (attributes & kSysAttributeDirectory) != 0;
}

// Follows the settings file at path. While its folder is not there (nothing saved yet), the
// folder's name in its parent is followed instead, so that the folder's making is seen, and
// missing is set. False when memory runs out.
bool FollowSettingsPath(WatchLoop& loop, const char* path, bool& missing) {
  if (FolderOfExists(path)) return loop.Follow(path, kTagSettings);
  missing = true;
  StringBuffer folder;
  if (!folder.SetText(path, int(SplitPathSpans(path).nameStart), 0)) return false;
  char* text = folder.MutableData();
  const size_t length = std::strlen(text);
  if (length > 0 && IsSlash(text[length - 1])) text[length - 1] = '\0';
  return !FolderOfExists(text) || loop.Follow(text, kTagSettings);
}

// Follows a settings file given by its name in the program folder: where the settings go and,
// while they live in the user's folder, the program's shared "Defaults" that stands in for a file
// the user has not saved.
bool FollowSettingsFile(WatchLoop& loop, const char* relativeName, bool& missing) {
  PathBuffer path;
  if (SetSettingsPath(path, relativeName) && !FollowSettingsPath(loop, path.path, missing)) {
    return false;
  }
  PathBuffer shared;
  return SettingsInProgramFolder() || !shared.SetInProgramFolder(relativeName) ||
         FollowSettingsPath(loop, shared.path, missing);
}

void Tell(ConvertReport& report, const char* format, const char* a, const char* b) {
  StringBuffer line;
  if (!line.Format(format, kConvertProgramName, a, b)) {
    line.SetText("krn2html-convert: the watch failed", -1, 0);
  }
  report.Notice(TextOf(line));
}

void TellSystemFailure(ConvertReport& report, const char* what) {
  char reason[256] = "";
  SysErrorText(SysLastError(), reason, sizeof reason);
  Tell(report, "%s: %s: %s", what, reason);
}

}  // namespace

SceneWatch::SceneWatch(const ConvertOptions& options, const char* currentFolder,
                       const SceneJobs& jobs, WatchConverterMaker& maker)
    : options_(options), currentFolder_(currentFolder), jobs_(jobs), maker_(maker) {}

bool SceneWatch::Follow(const ConvertSettings& settings) {
  loop_.Clear();
  settingsFolderMissing_ = false;
  for (int i = 0; i < jobs_.scenes.count; ++i) {
    // Standard input has no file; a job that failed before it started (a clash) has nothing
    // that could change it.
    if (jobs_.scenes.items[i].Length() == 0 || jobs_.problems.items[i].Length() != 0) continue;
    if (!loop_.Follow(TextOf(jobs_.scenes.items[i]), i)) return false;
  }
  if (!loop_.Follow(settings.templatePath.path, kTagTemplate)) return false;
  // The remembered default template matters only when no template was chosen.
  if (options_.templateArg == nullptr &&
      !FollowSettingsFile(loop_, kDefaultTemplateFile, settingsFolderMissing_)) {
    return false;
  }
  StringBuffer prefs;
  if (!options_.noSavedValues &&
      (!PrefsFilePath(&settings.state, prefs) ||
       !FollowSettingsFile(loop_, TextOf(prefs), settingsFolderMissing_))) {
    return false;
  }
  return true;
}

bool SceneWatch::StartLoop(const ConvertSettings& settings, ConvertReport& report) {
  StringList unwatched;
  if (!Follow(settings)) {
    Tell(report, "%s: out of memory%s%s", "", "");
    return false;
  }
  if (!loop_.Start(unwatched)) {
    TellSystemFailure(report, "cannot watch for changes");
    return false;
  }
  for (int i = 0; i < unwatched.count; ++i) {
    StringBuffer shown;
    if (!UserPathOf(TextOf(unwatched.items[i]), shown)) continue;
    Tell(report, "%s: cannot watch the folder %s%s", TextOf(shown), "");
  }
  return true;
}

bool SceneWatch::Start(bool stopsCaught, ConvertSettings& settings, ConvertReport& report) {
  // Without a caught Ctrl-C the watch could only be killed, perhaps in the middle of a page.
  if (!stopsCaught) {
    TellSystemFailure(report, "cannot catch the interrupt");
    return false;
  }
  return StartLoop(settings, report);
}

bool SceneWatch::Reload(std::unique_ptr<ConvertSettings>& fresh, ConvertReport& report) {
  fresh.reset(new (std::nothrow) ConvertSettings);
  StringBuffer error;
  if (!fresh) {
    error.SetText("out of memory", -1, 0);
  } else {
    LoadTemplateCatalogue(*fresh);
    if (ChooseTemplate(*fresh, options_.templateArg, currentFolder_, error) &&
        FillFieldValues(*fresh, !options_.noSavedValues, options_.setNames, options_.setValues,
                        error)) {
      return true;
    }
  }
  Tell(report, "%s: %s%s", TextOf(error), "");
  fresh.reset();
  return false;
}

int SceneWatch::Run(ConvertSettings& settings, ConvertReport& report) {
  ConvertSettings* current = &settings;
  std::unique_ptr<ConvertSettings> reloaded;
  const int count = jobs_.scenes.count;
  std::unique_ptr<bool[]> due(new (std::nothrow) bool[size_t(count) + 1]);
  if (!due) {
    Tell(report, "%s: out of memory%s%s", "", "");
    return kConvertExitFailed;
  }
  for (;;) {
    if (StopAsked()) return kConvertExitOk;
    const WatchOutcome outcome = loop_.Wait(kSysWaitForever);
    if (outcome == WatchOutcome::kInterrupted) return kConvertExitOk;
    if (outcome == WatchOutcome::kFailed) {
      TellSystemFailure(report, "the watch for changes stopped");
      return kConvertExitFailed;
    }
    if (outcome != WatchOutcome::kChanged) continue;
    for (int i = 0; i < count; ++i) due[size_t(i)] = loop_.Changed(i);
    if (loop_.Changed(kTagTemplate) || loop_.Changed(kTagSettings)) {
      // A settings folder that was missing may be there now: watched before the settings are
      // read, so that no later change is missed.
      if (settingsFolderMissing_ && !StartLoop(*current, report)) return kConvertExitFailed;
      std::unique_ptr<ConvertSettings> fresh;
      if (Reload(fresh, report)) {
        // The remembered default template may now be another file: followed from now on.
        const bool sameTemplate =
            std::strcmp(fresh->templatePath.path, current->templatePath.path) == 0;
        reloaded = std::move(fresh);
        current = reloaded.get();
        if (!sameTemplate && !StartLoop(*current, report)) return kConvertExitFailed;
        for (int i = 0; i < count; ++i) due[size_t(i)] = true;
      }
    }
    std::unique_ptr<JobConverter> converter = maker_.Make(*current, report);
    if (!converter) {
      Tell(report, "%s: out of memory%s%s", "", "");
      continue;
    }
    // Ctrl-C ends the watch: the conversion in hand stops at its next block, or before its
    // page would replace the old one, so no page is left half-written and no temporary file
    // stays.
    for (int i = 0; i < count; ++i) {
      if (StopAsked()) return kConvertExitOk;
      if (due[size_t(i)]) converter->Convert(i);
    }
  }
}
