// The conversion core: one scene file and one template become one page file, without any
// dialog or window. The window program asks its dialogs for the paths and calls this core;
// a command-line converter calls the same functions. A failure comes back as a value
// (ConversionFailure) for the front end to tell; the core itself shows nothing but the
// "XML Error" box, and that only when no parse-error handler is given.
#pragma once

#include <cstdint>

#include "base/string_buffer.h"
#include "base/string_list.h"
#include "base/whole_file_writer.h"
#include "core/conversion_failure.h"
#include "xml/xml_tree.h"

struct FilledTemplate;

// Everything one conversion needs. Paths are in the program's view (Z:\... on Linux; convert
// native paths with ProgramPathFromNative) and may be of any length: one that the program
// cannot handle is a kPathTooLong failure.
struct ConversionRequest {
  // The template file.
  const char* templatePath = nullptr;
  // Names of the template's fields and their values, parallel lists; null lists fill no
  // named field (BUILD, FILENAME and FORMSDATA are still filled).
  const StringList* fieldNames = nullptr;
  const StringList* fieldValues = nullptr;
  // The scene file whose animations become the buttons, and whose path relative to the page
  // becomes FILENAME.
  const char* scenePath = nullptr;
  // The scene's bytes when the caller holds them (standard input, or a file it has read): they
  // stand for the content of scenePath, which is then not read. An empty scenePath (standard
  // input) is read as XML and makes FILENAME empty.
  const char* sceneText = nullptr;
  uint32_t sceneLength = 0;
  // The template's bytes when the caller holds them (a command converting many scenes reads the
  // template once): they stand for the content of templatePath, which is then not read.
  const char* templateText = nullptr;
  uint32_t templateLength = 0;
  // The page file to write (created, or replaced whole).
  const char* pagePath = nullptr;
  // Told a scene that is not well-formed XML (expat's message and line); null shows the
  // "XML Error" box. Either way the page is still made, without buttons.
  XmlTree::ParseErrorHandler parseErrorHandler = nullptr;
  void* parseErrorContext = nullptr;
  // Called with whileReadingContext and the bytes read so far between the blocks of a long
  // scene file read (the window program tells its progress); may be null. Its false stops the
  // read: no page, a kCancelled failure.
  XmlTree::BlockHandler whileReading = nullptr;
  void* whileReadingContext = nullptr;
  // Told with whileWritingContext as the page is written (base/whole_file_writer.h: before the
  // first block, then after each); may be null. Its false stops the write: the page stays as it
  // was, no temporary file remains, a kCancelled failure naming the scene.
  WholeFileProgress whileWriting = nullptr;
  void* whileWritingContext = nullptr;
  // The BUILD value when the caller has it already (ProgramBuildText; a command that converts
  // many scenes reads it once); null reads it from the program file for this page.
  const char* buildText = nullptr;
  // The template with its named fields and BUILD filled already (FillTemplate, for many pages
  // of one run): it stands for the template's bytes, the field lists and buildText.
  const FilledTemplate* filledTemplate = nullptr;
};

// What every page of one template, one set of field values and one program has in common.
struct FilledTemplate {
  // The template's text with the named fields and BUILD filled.
  StringBuffer text;
  // The template, as read, declares UTF-8.
  bool utf8 = false;
};

// Sets build to the program's version as BUILD shows it ("1.0.0.1"; empty when the program
// file has none) and makes the program's folder the current directory, as BuildPageText does
// for each page. False when build cannot hold the text.
bool ProgramBuildText(StringBuffer& build);

// Longest path, in the program's view, that the program handles (MAX_PATH less its NUL).
constexpr unsigned kMaxProgramPathLength = 259;

// Step 1: empties the button block and fills it with the scene's animation buttons. A
// scene that cannot be read or parsed gives no buttons and is no failure (a parse error is
// told as the request says). False, with failure set, only for a scene path that is too long
// or a failure that must stop the page.
bool CollectSceneButtons(const ConversionRequest& request, ConversionFailure& failure);

// The first part of BuildPageText, done once for many pages: reads the template (or takes the
// request's templateText) and fills its named fields and BUILD into filled. False, with
// failure set, as BuildPageText fails.
bool FillTemplate(const ConversionRequest& request, FilledTemplate& filled,
                  ConversionFailure& failure);

// Makes the page text from the template: every field placeholder filled with its value, then
// BUILD (the program's version), FILENAME (the scene relative to the page, '/' separators,
// '#', '%' and '?' percent-encoded) and FORMSDATA (the button block). Values and FILENAME are
// the system's text, turned into UTF-8 when the template declares UTF-8 (page_text.h). Makes the
// program's folder the current directory. False, with failure set, for a path that is too long, a
// template that cannot be read or no memory.
bool BuildPageText(const ConversionRequest& request, StringBuffer& page,
                   ConversionFailure& failure);

// Step 2: BuildPageText, then writes the page whole (a temporary file in the page's folder
// moved over the page); an existing page is replaced whole, keeping its permissions, or left
// untouched, and a read-only one is refused. False, with failure set, when the page was not
// written (kCancelled when the request's whileWriting stopped it).
bool AssemblePage(const ConversionRequest& request, ConversionFailure& failure);

// Both steps: CollectSceneButtons, then AssemblePage. True when the page was written.
bool ConvertToPage(const ConversionRequest& request, ConversionFailure& failure);
