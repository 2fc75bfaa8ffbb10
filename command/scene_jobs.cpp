#include "command/scene_jobs.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>
#include <set>
#include <utility>

#include "base/ascii_case.h"
#include "base/file_list.h"
#include "base/full_path.h"
#include "base/path_buffer.h"
#include "base/path_split.h"
#include "base/string_buffer.h"
#include "core/conversion_failure.h"
#include "core/text_of.h"
#include "platform/file_system.h"
#include "platform/native_path.h"

namespace {

constexpr char kNoSuchScene[] = "No such file or directory";
constexpr char kSceneIsFolder[] = "Is a folder (use --recursive to convert the scenes in it)";
constexpr char kPathTooLong[] = "The path is too long";
constexpr char kNoCurrentFolder[] = "The current folder cannot be read";
// The name a page of standard input takes in an output folder.
constexpr char kStandardInputPageName[] = "page";

bool Append(StringBuffer& text, const char* more) {
  return text.SetText(more, -1, text.Length());
}

// Sets text to folder, then one '\' unless folder is empty or ends in one or nothing follows,
// then the first nameLength characters of name and suffix; false when text cannot hold it. None
// of them may lie in text. Sized once and copied once: a walk makes a few paths per scene.
bool JoinParts(StringBuffer& text, const char* folder, const char* name, size_t nameLength,
               const char* suffix) {
  const size_t folderLength = std::strlen(folder);
  const size_t suffixLength = std::strlen(suffix);
  const size_t separator =
      folderLength > 0 && folder[folderLength - 1] != '\\' && nameLength + suffixLength != 0 ? 1
                                                                                             : 0;
  const size_t length = folderLength + separator + nameLength + suffixLength;
  if (text.IsReadOnly() || length >= StringBuffer::kMaxCapacity ||
      !text.Reserve(unsigned(length), false)) {
    return false;
  }
  char* out = text.MutableData();
  std::memcpy(out, folder, folderLength);
  out[folderLength] = '\\';
  std::memcpy(out + folderLength + separator, name, nameLength);
  std::memcpy(out + folderLength + separator + nameLength, suffix, suffixLength);
  out[length] = '\0';
  return true;
}

// Joins a folder and a name with one '\' between them; false when text cannot hold it.
bool Join(StringBuffer& text, const char* folder, const char* name) {
  return JoinParts(text, folder, name, std::strlen(name), "");
}

// The native form of a program-view path (the path itself on Windows); false when it cannot be
// translated or held.
bool NativeOf(const char* programPath, StringBuffer& out) {
  char native[4 * kPathSize];
  return NativePathFromProgram(programPath, native, sizeof native) && out.SetText(native, -1, 0);
}

// Sets problem to the message of a path whose names hold a '\' (Linux), in its native form;
// false when memory runs out.
bool SetBackslashProblem(const char* nativePath, StringBuffer& problem) {
  ConversionFailure failure;
  failure.SetUserPath(ConversionFailureKind::kBackslashName, nativePath, "");
  return failure.FormatMessage(problem) && problem.Length() != 0;
}

// A job without a problem keeps none (an element without storage), so that a walk of many
// scenes allocates no empty texts.
bool AddJob(SceneJobs& jobs, const char* scene, const char* page, const char* shown,
            const char* problem) {
  return jobs.scenes.Append(scene) && jobs.pages.Append(page) && jobs.shown.Append(shown) &&
         jobs.problems.Append(*problem != '\0' ? problem : nullptr);
}

// problem becomes "The path is too long: <path>", the path in the user's form when it can be
// made (else as given); false when memory runs out.
bool TooLong(const char* programPath, const char* given, StringBuffer& problem) {
  StringBuffer shown;
  if (programPath == nullptr || !UserPathOf(programPath, shown)) {
    if (!shown.SetText(given, -1, 0)) return false;
  }
  return problem.SetText(kPathTooLong, -1, 0) && Append(problem, ": ") &&
         Append(problem, TextOf(shown));
}

// True when relative paths can be made full: MakeFullPath fails for a path that is too long,
// and for a relative one when the current folder is unknown.
bool CurrentFolderKnown(const SceneJobRules& rules) {
  PathBuffer root;
  return MakeFullPath("x", rules.currentFolder, root);
}

// The page of one scene file that lies in sceneFolder\relativeFolder (relativeFolder empty
// for an operand): beside it, or in the output folder mirrored by relativeFolder, or the one
// output path. False when memory runs out; page empty for standard output; a page path that is
// refused (too long for the program, a name with a '\\', a relative output path without a
// current folder) leaves page empty and says so in problem.
// `outputFolder` (may be null) is the full path of rules.outputDir when the caller made it
// already, for the many pages of a walk.
bool PageFor(const char* sceneFolder, const char* relativeFolder, const char* sceneName,
             const SceneJobRules& rules, StringBuffer& page, StringBuffer& problem,
             const char* outputFolder = nullptr) {
  page.SetText("", -1, 0);
  problem.SetText("", -1, 0);
  if (rules.output != nullptr) {
    if (std::strcmp(rules.output, "-") == 0) return true;
    PathBuffer full;
    char view[4 * kPathSize];
    const UserPathOutcome outcome =
        ProgramPathFromUser(rules.output, rules.currentFolder, view, sizeof view);
    if (outcome == UserPathOutcome::kBackslashName) {
      return SetBackslashProblem(view[0] != '\0' ? view : rules.output, problem);
    }
    if (outcome == UserPathOutcome::kNoCurrentFolder) {
      return problem.SetText(kNoCurrentFolder, -1, 0);
    }
    if (outcome != UserPathOutcome::kDone) return TooLong(nullptr, rules.output, problem);
    if (!MakeFullPath(view, rules.currentFolder, full)) {
      return CurrentFolderKnown(rules) ? TooLong(view, rules.output, problem)
                                       : problem.SetText(kNoCurrentFolder, -1, 0);
    }
    return page.SetText(full.path, -1, 0);
  }
  StringBuffer folder;
  const char* pageFolder = sceneFolder;
  if (rules.outputDir != nullptr && outputFolder != nullptr) {
    pageFolder = outputFolder;
    if (*relativeFolder != '\0') {
      if (!Join(folder, outputFolder, relativeFolder)) return false;
      pageFolder = TextOf(folder);
    }
  } else if (rules.outputDir != nullptr) {
    PathBuffer full;
    char view[4 * kPathSize];
    const UserPathOutcome outcome =
        ProgramPathFromUser(rules.outputDir, rules.currentFolder, view, sizeof view);
    if (outcome == UserPathOutcome::kBackslashName) {
      return SetBackslashProblem(view[0] != '\0' ? view : rules.outputDir, problem);
    }
    if (outcome == UserPathOutcome::kNoCurrentFolder) {
      return problem.SetText(kNoCurrentFolder, -1, 0);
    }
    if (outcome != UserPathOutcome::kDone) return TooLong(nullptr, rules.outputDir, problem);
    if (!MakeFullPath(view, rules.currentFolder, full)) {
      if (!CurrentFolderKnown(rules)) return problem.SetText(kNoCurrentFolder, -1, 0);
      StringBuffer named;
      return Join(named, view, relativeFolder) && PagePathIn(TextOf(named), sceneName, page) &&
             TooLong(TextOf(page), rules.outputDir, problem) && page.SetText("", -1, 0);
    }
    if (!Join(folder, full.path, relativeFolder)) return false;
    pageFolder = TextOf(folder);
  }
  if (!PagePathIn(pageFolder, sceneName, page)) return false;
  if (PathBuffer::Fits(TextOf(page))) return true;
  return TooLong(TextOf(page), TextOf(page), problem) && page.SetText("", -1, 0);
}

// The full path of the output folder (-d) in full; false when there is none, or when it
// cannot be made (PageFor then tells each page why).
bool MakeOutputFolder(const SceneJobRules& rules, PathBuffer& full) {
  char view[4 * kPathSize];
  return rules.output == nullptr && rules.outputDir != nullptr &&
         ProgramPathFromUser(rules.outputDir, rules.currentFolder, view, sizeof view) ==
             UserPathOutcome::kDone &&
         MakeFullPath(view, rules.currentFolder, full);
}

// Splits a full scene path into its folder and its name.
void SplitScene(const char* scene, StringBuffer& folder, const char*& name) {
  const PathSpans spans = SplitPathSpans(scene);
  folder.SetText(scene, int(spans.nameStart), 0);
  name = scene + spans.nameStart;
}

// Adds an empty walk to jobs.walks; false when memory runs out.
bool AddWalk(SceneJobs& jobs) {
  if (jobs.walkCount == jobs.walkCapacity) {
    const int capacity = jobs.walkCapacity * 2 + 1;
    std::unique_ptr<SceneWalk[]> grown(new (std::nothrow) SceneWalk[size_t(capacity)]);
    if (!grown) return false;
    for (int i = 0; i < jobs.walkCount; ++i) grown[size_t(i)] = std::move(jobs.walks[i]);
    jobs.walks = std::move(grown);
    jobs.walkCapacity = capacity;
  }
  ++jobs.walkCount;
  return true;
}

// The buffers of making a walked job, kept from one job to the next.
struct MadeParts {
  StringBuffer scene, shownView, shown, relativeFolder, sceneFolder, page, problem;
};

// Makes job i, listed by walk: its scene holds the path below walk.root.
bool MakeWalkedJob(const SceneWalk& walk, SceneJobs& jobs, int i, MadeParts& parts) {
  const char* relative = TextOf(jobs.scenes.items[i]);
  const char* name = nullptr;
  if (!Join(parts.scene, TextOf(walk.root), relative) ||
      !Join(parts.shownView, TextOf(walk.shownRoot), relative)) {
    return false;
  }
  SplitScene(relative, parts.relativeFolder, name);
  SplitScene(TextOf(parts.scene), parts.sceneFolder, name);
  if (!NativeOf(TextOf(parts.shownView), parts.shown) &&
      !parts.shown.SetText(parts.shownView.Data(), -1, 0)) {
    return false;
  }
  if (!PathBuffer::Fits(TextOf(parts.scene))) {
    if (!parts.page.SetText("", -1, 0) || !parts.problem.SetText(kPathTooLong, -1, 0)) {
      return false;
    }
  } else if (!PageFor(TextOf(parts.sceneFolder), TextOf(parts.relativeFolder), name, walk.rules,
                      parts.page, parts.problem,
                      walk.outputFolder.Length() != 0 ? TextOf(walk.outputFolder) : nullptr)) {
    return false;
  }
  // The scene's full path takes the place of its relative one, whose storage is kept for the
  // next job.
  jobs.scenes.items[i].Swap(parts.scene);
  return jobs.pages.items[i].SetText(TextOf(parts.page), -1, 0) &&
         jobs.shown.items[i].SetText(TextOf(parts.shown), -1, 0) &&
         (parts.problem.Length() == 0 ||
          jobs.problems.items[i].SetText(TextOf(parts.problem), -1, 0));
}

// The folders a walk has entered, each known by its identity so that a second path to one
// (a link back to an ancestor, or to a folder the walk reaches anyway) is not entered again.
class WalkedFolders {
 public:
  // True when the folder at path was not entered yet (it now counts as entered); a folder
  // that cannot be looked at counts as new.
  bool Enter(const SysFileIdentity& identity, bool known) {
    return !known || entered_.insert({identity.device, identity.node}).second;
  }

 private:
  std::set<std::pair<uint64_t, uint64_t>> entered_;
};

// Adds every scene file below the folder root (full path), shown below shownRoot.
bool AddFolderJobs(const char* root, const char* shownRoot, const SceneJobRules& rules,
                   SceneJobs& jobs) {
  // Breadth first over the folders below root (relative paths, "" for root itself), which
  // keeps the walk free of recursion. Every real folder is entered before any link to a folder,
  // so that a folder of the tree is reached by its own path; a link is followed only to a
  // folder not entered yet, and one that leads back is told once and skipped. A path that
  // grows too long ends that branch with a problem.
  StringList folders;
  StringList links;    // relative paths of links to folders, followed once the real ones are done
  StringList found;    // relative paths of the scene files
  StringList refused;  // native paths of scenes and folders whose names hold a '\' (Linux)
  StringBuffer entryPath;  // an entry's path below root, kept from one entry to the next
  WalkedFolders walked;
  SysFileIdentity identity{};
  walked.Enter(identity, SysGetFileIdentity(root, &identity));
  if (!folders.Append("")) return false;
  int nextLink = 0;
  for (int i = 0;;) {
    if (i == folders.count) {
      if (nextLink == links.count) break;
      const char* link = TextOf(links.items[nextLink++]);
      StringBuffer path;
      if (!Join(path, root, link)) return false;
      if (walked.Enter(identity, SysGetFileIdentity(TextOf(path), &identity))) {
        if (!folders.Append(link)) return false;
        continue;
      }
      StringBuffer shownView, shown, note;
      if (!Join(shownView, shownRoot, link)) return false;
      if (!NativeOf(TextOf(shownView), shown) && !shown.SetText(shownView.Data(), -1, 0)) {
        return false;
      }
      if (!note.Format("krn2html-convert: %s: skipped, a link back into the folders converted",
                       TextOf(shown)) ||
          !jobs.notes.Append(TextOf(note))) {
        return false;
      }
      continue;
    }
    StringBuffer folder;
    if (!Join(folder, root, TextOf(folders.items[i]))) return false;
    SysFindData entry;
    void* search = SysFindFirstFile(TextOf(folder), &entry);
    for (bool more = search != nullptr; more; more = SysFindNextFile(search, &entry)) {
      if (std::strcmp(entry.name, ".") == 0 || std::strcmp(entry.name, "..") == 0) continue;
      const bool isFolder = (entry.attributes & kSysAttributeDirectory) != 0;
      if (!isFolder && !IsSceneFileName(entry.name)) continue;
      if (std::strchr(entry.name, '\\') != nullptr) {
        // The program's view would take the '\' for a separator: told, never entered.
        StringBuffer native;
        if ((!NativeOf(TextOf(folder), native) && !native.SetText(TextOf(folder), -1, 0)) ||
            !Append(native, "/") || !Append(native, entry.name) || !refused.Append(native.Data())) {
          SysFindClose(search);
          return false;
        }
        continue;
      }
      if (!Join(entryPath, TextOf(folders.items[i]), entry.name)) {
        SysFindClose(search);
        return false;
      }
      StringList* list = &found;
      if (isFolder) {
        StringBuffer path;
        if (!Join(path, root, entryPath.Data())) {
          SysFindClose(search);
          return false;
        }
        const bool known = SysGetFileIdentity(TextOf(path), &identity);
        if (known && identity.isLink) {
          list = &links;
        } else if (walked.Enter(identity, known)) {
          list = &folders;
        } else {
          continue;  // one folder by two real paths (a bind mount): entered once
        }
      }
      if (!list->Append(entryPath.Data())) {
        SysFindClose(search);
        return false;
      }
    }
    if (search != nullptr) SysFindClose(search);
    ++i;
  }

  // The system lists a folder in no particular order; sorted paths make every run alike.
  std::unique_ptr<int[]> order(new (std::nothrow) int[size_t(found.count) + 1]);
  if (!order) return false;
  for (int i = 0; i < found.count; ++i) order[size_t(i)] = i;
  std::sort(order.get(), order.get() + found.count, [&found](int a, int b) {
    return std::strcmp(TextOf(found.items[a]), TextOf(found.items[b])) < 0;
  });

  // The scenes are only listed here, each holding its path below root: MakeSceneJobs makes
  // them, in order, while the first ones may already be converted.
  if (!AddWalk(jobs)) return false;
  SceneWalk& walk = jobs.walks[jobs.walkCount - 1];
  PathBuffer outputFolder;
  if (!walk.root.SetText(root, -1, 0) || !walk.shownRoot.SetText(shownRoot, -1, 0) ||
      (MakeOutputFolder(rules, outputFolder) &&
       !walk.outputFolder.SetText(outputFolder.path, -1, 0))) {
    return false;
  }
  walk.rules = rules;
  walk.first = jobs.scenes.count;
  if (!jobs.scenes.AppendEmpty(found.count) || !jobs.pages.AppendEmpty(found.count) ||
      !jobs.shown.AppendEmpty(found.count) || !jobs.problems.AppendEmpty(found.count)) {
    return false;
  }
  for (int k = 0; k < found.count; ++k) {
    jobs.scenes.items[walk.first + k].Swap(found.items[order[size_t(k)]]);
  }
  walk.end = jobs.scenes.count;
  std::unique_ptr<int[]> refusedOrder(new (std::nothrow) int[size_t(refused.count) + 1]);
  if (!refusedOrder) return false;
  for (int i = 0; i < refused.count; ++i) refusedOrder[size_t(i)] = i;
  std::sort(refusedOrder.get(), refusedOrder.get() + refused.count, [&refused](int a, int b) {
    return std::strcmp(TextOf(refused.items[a]), TextOf(refused.items[b])) < 0;
  });
  for (int k = 0; k < refused.count; ++k) {
    const char* native = TextOf(refused.items[refusedOrder[size_t(k)]]);
    StringBuffer problem;
    if (!SetBackslashProblem(native, problem) || !AddJob(jobs, "", "", native, TextOf(problem))) {
      return false;
    }
  }
  return true;
}

}  // namespace

bool PagePathIn(const char* folder, const char* sceneName, StringBuffer& page) {
  // A name, not a path: "c:s.krn" (Linux) has no drive.
  const char* extension = std::strrchr(sceneName, '.');
  const size_t stem = extension != nullptr && extension != sceneName ? size_t(extension - sceneName)
                                                                     : std::strlen(sceneName);
  return JoinParts(page, folder, sceneName, stem, ".html");
}

bool IsSceneFileName(const char* name) {
  const char* extension = ExtensionOf(name);
  return extension != nullptr &&
         (EqualsIgnoringAsciiCase(extension, ".krn") ||
          EqualsIgnoringAsciiCase(extension, ".xml") || EqualsIgnoringAsciiCase(extension, ".krq"));
}

bool AddSceneJobs(const char* operand, const SceneJobRules& rules, SceneJobs& jobs) {
  if (operand == nullptr) return true;
  if (std::strcmp(operand, "-") == 0) {
    // Standard input has no name: its page is the --output file, DIR/page.html with
    // --output-dir, else standard output.
    StringBuffer page, problem;
    if ((rules.output != nullptr || rules.outputDir != nullptr) &&
        !PageFor("", "", kStandardInputPageName, rules, page, problem)) {
      return false;
    }
    return AddJob(jobs, "", TextOf(page), "-", TextOf(problem));
  }
  if (*operand == '\0') return AddJob(jobs, "", "", operand, kNoSuchScene);
  // On Linux a relative operand is joined to the current folder before it enters the program's
  // view: "a:b/s.krn" is then a folder "a:b", never drive A:.
  char view[4 * kPathSize];
  PathBuffer full;
  switch (ProgramPathFromUser(operand, rules.currentFolder, view, sizeof view)) {
    case UserPathOutcome::kDone:
      break;
    case UserPathOutcome::kTooLong:
      return AddJob(jobs, "", "", operand, kPathTooLong);
    case UserPathOutcome::kNoCurrentFolder:
      return AddJob(jobs, "", "", operand, kNoCurrentFolder);
    case UserPathOutcome::kBackslashName: {
      StringBuffer problem;
      return SetBackslashProblem(view[0] != '\0' ? view : operand, problem) &&
             AddJob(jobs, "", "", operand, TextOf(problem));
    }
  }
  if (!MakeFullPath(view, rules.currentFolder, full)) {
    // Either the path is too long, or it is relative and the folder it starts from unknown.
    return AddJob(jobs, "", "", operand,
                  CurrentFolderKnown(rules) ? kPathTooLong : kNoCurrentFolder);
  }
  const uint32_t attributes = SysGetFileAttributes(full.path);
  if (attributes == kSysInvalidAttributes)
    return AddJob(jobs, full.path, "", operand, kNoSuchScene);
  if ((attributes & kSysAttributeDirectory) != 0) {
    if (!rules.recursive) return AddJob(jobs, full.path, "", operand, kSceneIsFolder);
    // The scenes below are shown below the operand as typed.
    char shownRoot[4 * kPathSize];
    if (!ProgramPathFromNative(operand, shownRoot, sizeof shownRoot)) {
      std::memcpy(shownRoot, view, sizeof shownRoot);
    }
    return AddFolderJobs(full.path, shownRoot, rules, jobs);
  }
  StringBuffer folder, page, problem;
  const char* name = nullptr;
  SplitScene(full.path, folder, name);
  return PageFor(TextOf(folder), "", name, rules, page, problem) &&
         AddJob(jobs, full.path, TextOf(page), operand, TextOf(problem));
}

bool MakeSceneJobs(SceneJobs& jobs, int upTo) {
  if (upTo > jobs.scenes.count) upTo = jobs.scenes.count;
  MadeParts parts;
  // Walks end in job order: the first one not ended below jobs.made holds the next jobs.
  int w = 0;
  while (jobs.made < upTo) {
    while (w < jobs.walkCount && jobs.walks[w].end <= jobs.made) ++w;
    if (w == jobs.walkCount || jobs.walks[w].first >= upTo) {
      jobs.made = upTo;  // the rest were made when they were added
      break;
    }
    const SceneWalk& walk = jobs.walks[w];
    if (jobs.made < walk.first) jobs.made = walk.first;
    const int end = walk.end < upTo ? walk.end : upTo;
    for (; jobs.made < end; ++jobs.made) {
      if (!MakeWalkedJob(walk, jobs, jobs.made, parts)) return false;
    }
  }
  return true;
}
