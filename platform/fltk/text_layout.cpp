#include "platform/fltk/text_layout.h"

namespace fltk_backend {

namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

// Breaks one paragraph (no line ends inside) at blanks.
void BreakParagraph(const char* text, int start, int end, int maxWidth, const MeasureRun& measure,
                    std::vector<TextLine>* lines) {
  int lineStart = start;
  while (true) {
    // Take words while they fit; always at least one word per line.
    int lineEnd = lineStart;  // end of the last word that fits
    int cursor = lineStart;
    while (cursor < end) {
      int wordEnd = cursor;
      while (wordEnd < end && IsBlank(text[wordEnd])) ++wordEnd;
      while (wordEnd < end && !IsBlank(text[wordEnd])) ++wordEnd;
      if (lineEnd > lineStart && measure(text + lineStart, wordEnd - lineStart) > maxWidth) break;
      lineEnd = wordEnd;
      cursor = wordEnd;
    }
    lines->push_back(
        {lineStart, lineEnd - lineStart, measure(text + lineStart, lineEnd - lineStart)});
    if (lineEnd >= end) return;
    lineStart = lineEnd;
    while (lineStart < end && IsBlank(text[lineStart])) ++lineStart;
    if (lineStart >= end) return;
  }
}

}  // namespace

std::vector<TextLine> LayoutTextLines(const char* text, int length, int maxWidth, bool wordBreak,
                                      bool singleLine, const MeasureRun& measure) {
  std::vector<TextLine> lines;
  if (!text || length <= 0) return lines;
  if (singleLine) {
    lines.push_back({0, length, measure(text, length)});
    return lines;
  }
  int start = 0;
  while (start <= length) {
    int end = start;
    while (end < length && text[end] != '\r' && text[end] != '\n') ++end;
    if (wordBreak && end > start) {
      BreakParagraph(text, start, end, maxWidth, measure, &lines);
    } else {
      lines.push_back({start, end - start, measure(text + start, end - start)});
    }
    if (end >= length) break;
    start = end + ((text[end] == '\r' && end + 1 < length && text[end + 1] == '\n') ? 2 : 1);
    if (start >= length) break;  // a final line end opens no empty line
  }
  return lines;
}

int CountFittingCharacters(const char* text, int length, int maxWidth, const MeasureRun& measure) {
  if (!text || length <= 0) return 0;
  // The widths grow with the prefix, so a binary search finds the longest fit.
  int low = 0, high = length;
  while (low < high) {
    int mid = low + (high - low + 1) / 2;
    if (measure(text, mid) <= maxWidth) {
      low = mid;
    } else {
      high = mid - 1;
    }
  }
  return low;
}

}  // namespace fltk_backend
