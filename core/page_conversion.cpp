#include "core/page_conversion.h"

#include <cstdio>
#include <cstring>

#include "base/file_handle.h"
#include "base/path_buffer.h"
#include "base/whole_file_writer.h"
#include "core/animation_buttons.h"
#include "core/button_block.h"
#include "core/page_placeholders.h"
#include "core/page_text.h"
#include "core/text_of.h"
#include "platform/file_replace.h"
#include "platform/file_spec.h"
#include "platform/file_system.h"

namespace {

constexpr unsigned kSpareBytes = 4096;

// False, with a kPathTooLong failure, when path does not fit the program's path buffer.
bool CheckLength(const char* path, ConversionFailure& failure) {
  if (path != nullptr && std::strlen(path) > kMaxProgramPathLength) {
    return failure.Set(ConversionFailureKind::kPathTooLong, path, 0);
  }
  return true;
}

// The last system error, or fallback when the system named none.
uint32_t LastErrorOr(uint32_t fallback) {
  const uint32_t code = SysLastError();
  return code != 0 ? code : fallback;
}

// Reads the whole template into page, with spare room behind the text; false with a
// failure naming the template and the system's reason.
bool ReadTemplate(const char* templatePath, StringBuffer& page, ConversionFailure& failure) {
  const auto fail = [&](uint32_t error) {
    return failure.Set(ConversionFailureKind::kTemplateUnreadable, templatePath, error);
  };
  PathBuffer path;
  if (!path.Set(templatePath)) return fail(0);
  FileHandle file(path);
  SysSetLastError(0);
  if (!file.Exists() || !file.Open(0)) return fail(LastErrorOr(SysDiskFullError()));
  uint32_t size = 0;
  SysSetLastError(0);
  if (!file.GetSize(&size)) return fail(LastErrorOr(SysDiskFullError()));
  if (size > 0x7FFFFFFFu - kSpareBytes || !page.Reserve(size + kSpareBytes, false)) {
    return failure.Set(ConversionFailureKind::kNoMemoryForPage, templatePath, 0);
  }
  uint32_t bytesRead = 0;
  SysSetLastError(0);
  if (!file.Read(page.MutableData(), size, &bytesRead)) {
    return fail(LastErrorOr(SysDiskFullError()));
  }
  file.Close();
  page.MutableData()[bytesRead] = '\0';
  return true;
}

// Copies a template held in memory into page as ReadTemplate leaves it: the bytes, a zero byte
// and spare room behind them; false when memory runs out.
bool CopyTemplate(const char* text, uint32_t length, StringBuffer& page) {
  if (length > 0x7FFFFFFFu - kSpareBytes || !page.Reserve(length + kSpareBytes, false)) {
    return false;
  }
  if (length != 0) std::memcpy(page.MutableData(), text, length);
  page.MutableData()[length] = '\0';
  return true;
}

// Makes the program's folder the current directory and writes the program's file into out as
// that folder, a backslash and the file name; false when the program file is unknown.
bool ProgramFileFromItsFolder(char* out, unsigned size) {
  PathBuffer program;
  if (!program.SetInProgramFolder(nullptr)) return false;
  char folder[sizeof program.path];
  char name[sizeof program.path];
  std::memcpy(folder, program.path, sizeof folder);
  if (!SysRemoveFileSpec(folder) || !program.GetFileName(name, sizeof name)) return false;
  SysSetCurrentDirectory(folder);
  // A root folder such as "C:\" already ends in the backslash.
  const size_t length = std::strlen(folder);
  const char* separator = length > 0 && folder[length - 1] == '\\' ? "" : "\\";
  const int written = std::snprintf(out, size, "%s%s%s", folder, separator, name);
  return written > 0 && unsigned(written) < size;
}

}  // namespace

bool ProgramBuildText(StringBuffer& build) {
  if (!build.SetText("", -1, 0)) return false;
  char programFile[sizeof(PathBuffer::path)];
  if (ProgramFileFromItsFolder(programFile, sizeof programFile)) {
    FormatBuildString(programFile, build);
  }
  return true;
}

bool CollectSceneButtons(const ConversionRequest& request, ConversionFailure& failure) {
  ClearButtonBlock();
  const char* scenePath = request.scenePath != nullptr ? request.scenePath : "";
  if (!CheckLength(scenePath, failure)) return false;
  if (request.sceneText != nullptr) {
    // The text is read as the scene file would be (a .krq is not looked into); as with a file,
    // a text that yields no buttons is no failure of the page.
    if (*scenePath == '\0' || NamesXmlScene(scenePath)) {
      return CollectAnimationButtonsFromText(request.sceneText, request.sceneLength, scenePath,
                                             request.parseErrorHandler, request.parseErrorContext,
                                             &failure) ||
             !failure.Failed();
    }
    return true;
  }
  const PathBuffer scene(scenePath);
  return CollectAnimationButtons(scene, request.parseErrorHandler, request.parseErrorContext,
                                 &failure, request.whileReading, request.whileReadingContext) ||
         !failure.Failed();
}

namespace {

// The template's text in page, with spare room behind it: the caller's copy, else the file.
// A template with no text before its first zero byte makes no page: false, kTemplateEmpty.
bool TemplateInto(const ConversionRequest& request, const char* templatePath, const char* pagePath,
                  StringBuffer& page, ConversionFailure& failure) {
  if (request.templateText == nullptr) {
    if (!ReadTemplate(templatePath, page, failure)) return false;
  } else if (!CopyTemplate(request.templateText, request.templateLength, page)) {
    return failure.Set(ConversionFailureKind::kNoMemoryForPage, pagePath, 0);
  }
  if (page.Data()[0] == '\0') {
    return failure.Set(ConversionFailureKind::kTemplateEmpty, templatePath, 0);
  }
  return true;
}

// The request's paths, empty for null ones; false with a kPathTooLong failure for a path too
// long for the program.
struct RequestPaths {
  const char* templatePath;
  const char* scenePath;
  const char* pagePath;

  explicit RequestPaths(const ConversionRequest& request)
      : templatePath(request.templatePath != nullptr ? request.templatePath : ""),
        scenePath(request.scenePath != nullptr ? request.scenePath : ""),
        pagePath(request.pagePath != nullptr ? request.pagePath : "") {}
  bool Check(ConversionFailure& failure) const {
    return CheckLength(templatePath, failure) && CheckLength(scenePath, failure) &&
           CheckLength(pagePath, failure);
  }
};

// Fills the named fields and BUILD of the template text in page; utf8Page tells how the
// template declared its encoding. False, with failure set, when memory runs out.
bool FillNamedFields(const ConversionRequest& request, bool utf8Page, const char* pagePath,
                     StringBuffer& page, ConversionFailure& failure) {
  StringList values;
  StringBuffer build;
  if (!SetPageValues(values, request.fieldValues, utf8Page) ||
      (request.buildText == nullptr && !ProgramBuildText(build)) ||
      !FillNamedPlaceholders(page, request.fieldNames, &values,
                             request.buildText != nullptr ? request.buildText : TextOf(build))) {
    return failure.Set(ConversionFailureKind::kNoMemoryForPage, pagePath, 0);
  }
  return true;
}

}  // namespace

bool FillTemplate(const ConversionRequest& request, FilledTemplate& filled,
                  ConversionFailure& failure) {
  const RequestPaths paths(request);
  if (!paths.Check(failure) ||
      !TemplateInto(request, paths.templatePath, paths.pagePath, filled.text, failure)) {
    return false;
  }
  filled.utf8 = DeclaresUtf8(filled.text.Data());
  return FillNamedFields(request, filled.utf8, paths.pagePath, filled.text, failure);
}

bool BuildPageText(const ConversionRequest& request, StringBuffer& page,
                   ConversionFailure& failure) {
  const RequestPaths paths(request);
  if (!paths.Check(failure)) return false;
  // The system's text goes in as the template declares its encoding; FILENAME is a URL.
  bool utf8Page = false;
  if (const FilledTemplate* filled = request.filledTemplate) {
    if (!page.SetFrom(filled->text, 0)) {
      return failure.Set(ConversionFailureKind::kNoMemoryForPage, paths.pagePath, 0);
    }
    utf8Page = filled->utf8;
  } else {
    if (!TemplateInto(request, paths.templatePath, paths.pagePath, page, failure)) return false;
    utf8Page = DeclaresUtf8(page.Data());
    if (!FillNamedFields(request, utf8Page, paths.pagePath, page, failure)) return false;
  }
  StringBuffer relative;
  const StringBuffer* buttons = ButtonBlock();
  if (buttons == nullptr ||
      !MakeSceneReference(paths.pagePath, paths.scenePath, utf8Page, relative) ||
      !FillScenePlaceholders(page, TextOf(relative), TextOf(*buttons))) {
    return failure.Set(ConversionFailureKind::kNoMemoryForPage, paths.pagePath, 0);
  }
  return true;
}

namespace {

// The request's write handler, and whether it stopped the write.
struct WriteWatch {
  const ConversionRequest* request;
  bool stopped = false;

  static bool Tell(void* context, uint64_t bytesWritten, uint64_t length) {
    WriteWatch* self = static_cast<WriteWatch*>(context);
    const ConversionRequest& request = *self->request;
    if (request.whileWriting(request.whileWritingContext, bytesWritten, length)) return true;
    self->stopped = true;
    return false;
  }
};

}  // namespace

bool AssemblePage(const ConversionRequest& request, ConversionFailure& failure) {
  StringBuffer page;
  if (!BuildPageText(request, page, failure)) return false;
  uint32_t error = 0;
  WriteWatch watch{&request};
  const bool watched = request.whileWriting != nullptr;
  if (!WriteWholeFile(request.pagePath, TextOf(page), page.Length(), &error,
                      watched ? &WriteWatch::Tell : nullptr, watched ? &watch : nullptr)) {
    if (watch.stopped) {
      const char* scene = request.scenePath != nullptr ? request.scenePath : "";
      return failure.Set(ConversionFailureKind::kCancelled, scene, 0);
    }
    return failure.Set(ConversionFailureKind::kPageUnwritable, request.pagePath, error);
  }
  return true;
}

bool ConvertToPage(const ConversionRequest& request, ConversionFailure& failure) {
  return CollectSceneButtons(request, failure) && AssemblePage(request, failure);
}
