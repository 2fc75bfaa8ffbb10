// --watch of krn2html-convert: after the first conversion the command stays and converts a scene
// again whenever it, the template or the remembered values change, once per burst of changes,
// until Ctrl-C ends it.
#pragma once

#include <memory>

#include "command/convert_jobs_runner.h"
#include "command/convert_options.h"
#include "command/convert_report.h"
#include "command/convert_settings.h"
#include "command/scene_jobs.h"
#include "command/watch_loop.h"

// Makes the converter of the jobs for one set of settings (read again when they change).
class WatchConverterMaker {
 public:
  // Null when memory runs out.
  virtual std::unique_ptr<JobConverter> Make(ConvertSettings& settings, ConvertReport& report) = 0;

 protected:
  ~WatchConverterMaker() = default;
};

class SceneWatch {
 public:
  // options, currentFolder, jobs and maker outlive the watch.
  SceneWatch(const ConvertOptions& options, const char* currentFolder, const SceneJobs& jobs,
             WatchConverterMaker& maker);

  // Starts watching the scenes of the jobs and the files that settings were read from, before
  // the first conversion so that no change is missed. Tells a folder that cannot be watched in
  // one line of report. False, told in one line, when there is no watch at all, or when Ctrl-C
  // could not be caught (stopsCaught false: see WatchForStop).
  bool Start(bool stopsCaught, ConvertSettings& settings, ConvertReport& report);
  // Converts again what each burst of changes asks for: a changed scene its page; a changed
  // template or remembered value every page, with the settings read again (when they cannot be
  // read, one line, and the settings before stay). Returns the exit status when Ctrl-C
  // has arrived (kConvertExitOk), or kConvertExitFailed, told in one line, when the system
  // stops the watch.
  int Run(ConvertSettings& settings, ConvertReport& report);

 private:
  bool Follow(const ConvertSettings& settings);
  bool StartLoop(const ConvertSettings& settings, ConvertReport& report);
  bool Reload(std::unique_ptr<ConvertSettings>& fresh, ConvertReport& report);

  const ConvertOptions& options_;
  const char* currentFolder_;
  const SceneJobs& jobs_;
  WatchConverterMaker& maker_;
  WatchLoop loop_;
  bool settingsFolderMissing_ = false;  // a settings folder was followed by its name
};
