// The scenes one krn2html-convert command converts, each with the page it becomes: the
// operands as given, a folder's scenes below it with --recursive, pages beside the scenes, in
// an output folder (mirroring the folders below a walked folder) or at the one output path.
#pragma once

#include <memory>

#include "base/string_buffer.h"
#include "base/string_list.h"

// Where pages go, from the command line.
struct SceneJobRules {
  const char* output = nullptr;         // -o: the one page ("-": standard output)
  const char* outputDir = nullptr;      // -d: the folder of the pages
  bool recursive = false;               // -r: a folder operand stands for its scenes
  const char* currentFolder = nullptr;  // the program-view folder relative paths start from
};

// A walked folder whose scenes are listed, in order, but not made into jobs yet.
struct SceneWalk {
  int first = 0;              // its first job
  int end = 0;                // one past its last job
  StringBuffer root;          // the folder's full path
  StringBuffer shownRoot;     // the folder as typed, in the program's view
  StringBuffer outputFolder;  // the full path of the output folder; empty when not made
  SceneJobRules rules;        // the rules it was added with
};

// Parallel lists, one entry per scene, in the order of conversion. A job of a walked folder is
// first only listed: its scene holds the path below the folder and its other lists nothing,
// until MakeSceneJobs makes it. Making changes no list's length, so that the jobs made so far
// may be converted on other threads while later ones are made.
struct SceneJobs {
  StringList scenes;    // full program-view path; empty for standard input
  StringList pages;     // full program-view path; empty for standard output
  StringList shown;     // the scene as the user names it, for messages
  StringList problems;  // why the scene cannot be converted; empty when it can
  StringList notes;     // warnings of the walk, told before converting (links skipped)
  std::unique_ptr<SceneWalk[]> walks;  // the walks with jobs still to make, in job order
  int walkCount = 0;
  int walkCapacity = 0;
  int made = 0;  // the jobs below are all made
};

// True for the name of a file that a folder walk converts: ".krn", ".xml" or ".krq" in any
// letter case.
bool IsSceneFileName(const char* name);

// Sets page to the page of a scene named sceneName in folder: folder, the name without its
// extension (a name that is only an extension, such as ".krn", keeps it), ".html". False when
// memory runs out.
bool PagePathIn(const char* folder, const char* sceneName, StringBuffer& page);

// Adds the job(s) of one operand (a native path as typed, or "-" for standard input): a
// missing scene, a folder without rules.recursive and a path that is too long become jobs with
// a problem; a folder with rules.recursive lists every scene below it, sorted by path, for
// MakeSceneJobs to make. False only when memory runs out.
bool AddSceneJobs(const char* operand, const SceneJobRules& rules, SceneJobs& jobs);

// Makes the listed jobs below upTo (jobs.made becomes upTo), with the rules they were added
// with, whose texts must still be alive: the scene's full path, its page (or the problem of a
// page path that is refused) and the scene as shown. False only when memory runs out.
bool MakeSceneJobs(SceneJobs& jobs, int upTo);
