#include "core/page_placeholders.h"

#include <cstdio>

#include "base/version_info.h"
#include "core/template_fields.h"
#include "core/text_of.h"

bool FormatBuildString(const char* path, StringBuffer& result) {
  if (path == nullptr) return false;
  PathRecord record;
  record.SetPath(path);
  const unsigned version = ReadProductVersion(record);
  if (version == 0) return false;
  char text[32];
  std::snprintf(text, sizeof text, "%u.%u.%u.%u", (version >> 24) & 0xFFu, (version >> 16) & 0xFFu,
                (version >> 8) & 0xFFu, version & 0xFFu);
  return result.SetText(text, -1, result.Length());
}

bool FillNamedPlaceholders(StringBuffer& page, const StringList* fieldNames,
                           const StringList* fieldValues, const char* build) {
  const int fields = fieldNames != nullptr ? fieldNames->count : 0;
  for (int i = 0; i < fields; ++i) {
    const char* name = TextOf(fieldNames->items[i]);
    const char* value =
        fieldValues != nullptr && i < fieldValues->count ? TextOf(fieldValues->items[i]) : "";
    if (*name == '\0') continue;
    if (ReplaceAllPlaceholders(page, name, value) < 0) return false;
  }
  return ReplaceAllPlaceholders(page, "BUILD", build) >= 0;
}

bool FillScenePlaceholders(StringBuffer& page, const char* fileName, const char* formsData) {
  return ReplaceAllPlaceholders(page, "FILENAME", fileName) >= 0 &&
         ReplaceAllPlaceholders(page, "FORMSDATA", formsData) >= 0;
}
