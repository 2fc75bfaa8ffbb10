// The scenes one krn2html-convert command converts, each with the page it becomes: the
// operands as given, a folder's scenes below it with --recursive, pages beside the scenes, in
// an output folder (mirroring the folders below a walked folder) or at the one output path.
#pragma once

#include "base/string_buffer.h"
#include "base/string_list.h"

// Parallel lists, one entry per scene, in the order of conversion.
struct SceneJobs {
  StringList scenes;    // full program-view path; empty for standard input
  StringList pages;     // full program-view path; empty for standard output
  StringList shown;     // the scene as the user names it, for messages
  StringList problems;  // why the scene cannot be converted; empty when it can
  StringList notes;     // warnings of the walk, told before converting (links skipped)
};

// Where pages go, from the command line.
struct SceneJobRules {
  const char* output = nullptr;         // -o: the one page ("-": standard output)
  const char* outputDir = nullptr;      // -d: the folder of the pages
  bool recursive = false;               // -r: a folder operand stands for its scenes
  const char* currentFolder = nullptr;  // the program-view folder relative paths start from
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
// a problem; a folder with rules.recursive adds every scene below it, sorted by path. False
// only when memory runs out.
bool AddSceneJobs(const char* operand, const SceneJobRules& rules, SceneJobs& jobs);

// Gives a problem to every job whose page is its own scene, or the page of an earlier job
// without a problem, so that no page is written twice in one run. False only when memory runs
// out.
bool MarkPageClashes(SceneJobs& jobs);
