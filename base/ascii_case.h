// Letter case in ASCII, as file names compare on Windows: only A-Z and a-z are told apart.
#pragma once

// c in lower case when it is an ASCII capital, else c.
inline char LowerAscii(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// Whether a and b are the same text but for the case of ASCII letters.
inline bool EqualsIgnoringAsciiCase(const char* a, const char* b) {
  for (;; ++a, ++b) {
    if (LowerAscii(*a) != LowerAscii(*b)) return false;
    if (*a == '\0') return true;
  }
}
