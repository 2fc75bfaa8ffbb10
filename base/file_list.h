// Folder scan: the files of one folder whose extension matches, as a list of paths.
#pragma once

#include "base/path_record.h"
#include "base/string_buffer.h"

// One found file; new nodes are put in front.
struct FileListNode {
  PathRecord record;
  FileListNode* next;
};

// Heap record that anchors the nodes.
struct FileListAnchor {
  FileListNode* first;
  bool live;
};

// Owns its nodes, which hold the found files in the reverse of the order the system listed them.
class FileList {
 public:
  // Allocates the anchor with no nodes; live true (anchor stays null if memory runs out).
  FileList();
  // Frees every node and the anchor; live false.
  virtual ~FileList();
  FileList(const FileList&) = delete;
  FileList& operator=(const FileList&) = delete;

  // The first node, or null when the list is empty.
  const FileListNode* First() const { return anchor ? anchor->first : nullptr; }
  // Number of nodes.
  int Count() const;
  // Puts a node holding path in front; false when memory runs out.
  bool AddFront(const char* path);
  // Frees every node, keeping the anchor.
  void FreeNodes();

  FileListAnchor* anchor = nullptr;
  bool live = false;
  // The extension wanted by the running scan, with its point (".html").
  StringBuffer filter;
};

// Makes folder the current directory (it stays so) and adds to list every entry that is not
// exactly a directory and whose ExtensionOf matches extension ignoring case, as the full path
// (a name holding a '\', possible on Linux only, is passed over).
// Reports nothing: a failed search adds nothing.
void ScanFolder(FileList& list, const PathRecord& folder, const char* extension);

// The last '.' of name and what follows; the end of name (empty) when there is no '.' or a '\',
// '/' or a drive's ':' (the second character) comes first in a backward scan. Null gives null.
const char* ExtensionOf(const char* name);
