// Text as it goes into a page: the system's own text in the encoding the template declares,
// and the scene's path as a relative URL that a browser resolves to the scene file.
#pragma once

#include "base/string_buffer.h"
#include "base/string_list.h"

// True when the template text declares UTF-8: "charset" (any letter case), optional blanks,
// "=", optional blanks and a quote, then "utf-8" or "utf8" (any letter case).
bool DeclaresUtf8(const char* text);

// Sets out to text, which is in the system's encoding, as a page in that encoding or in UTF-8
// (utf8Page) holds it. Text the system cannot convert is kept as it is. False when out cannot
// grow.
bool SetPageText(StringBuffer& out, const char* text, bool utf8Page);

// Fills out with values (null: nothing), each as page text (SetPageText). False when memory
// runs out.
bool SetPageValues(StringList& out, const StringList* values, bool utf8Page);

// Sets out to the FILENAME value: the scene's path relative to the page's folder with '/'
// separators (the full scene path on another drive), as page text (SetPageText), with '#',
// '%' and '?' written as %23, %25 and %3F so that they stay part of the path; every other
// character is kept. False when out cannot grow.
bool MakeSceneReference(const char* pagePath, const char* scenePath, bool utf8Page,
                        StringBuffer& out);
