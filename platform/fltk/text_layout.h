// Line breaking of DrawTextA-style text output, independent of the font
// engine: the caller supplies the width of a run of characters.
#pragma once

#include <functional>
#include <vector>

namespace fltk_backend {

// Width in pixels of `length` characters starting at `text`.
using MeasureRun = std::function<int(const char* text, int length)>;

// One line of laid-out text: a run of the input and its width.
struct TextLine {
  int start;
  int length;
  int width;
};

// Breaks text into lines the way DrawTextA does: with `singleLine` the whole
// text is one line; otherwise "\r\n", "\n" and "\r" end lines, and with
// `wordBreak` a line also breaks before a word that would pass `maxWidth`
// (the blanks at the break are dropped; a word wider than the line stays
// whole on its own line). An empty text gives no lines.
std::vector<TextLine> LayoutTextLines(const char* text, int length, int maxWidth, bool wordBreak,
                                      bool singleLine, const MeasureRun& measure);

// How many leading characters fit in `maxWidth` pixels (GetTextExtentExPointA's
// fit count): the longest prefix whose width is at most maxWidth.
int CountFittingCharacters(const char* text, int length, int maxWidth, const MeasureRun& measure);

}  // namespace fltk_backend
