// Follows raw XML text piece by piece and tells whether the text so far ends inside a
// construct (a reference, comment, processing instruction, CDATA section, document type
// declaration or other markup), where a writer must not insert white space between pieces.
#pragma once

#include <cstdint>

class XmlMarkupScanner {
 public:
  // Takes the next count bytes of the text.
  void Feed(const char* text, uint32_t count);
  // True when the text fed so far ends inside a construct.
  bool Inside() const { return state_ != State::Data; }
  // Starts again outside every construct, as after a tag.
  void Reset();

 private:
  enum class State {
    Data,           // character data
    Reference,      // after '&' up to ';'
    Open,           // after '<', kind not known yet
    Comment,        // up to "-->"
    Instruction,    // processing instruction or XML declaration, up to "?>"
    Cdata,          // up to "]]>"
    Doctype,        // document type declaration outside its internal subset, up to '>'
    Subset,         // its internal subset, up to ']'
    SubsetComment,  // comment inside the subset
    SubsetPi,       // processing instruction inside the subset
    Literal,        // quoted literal, back to literalReturn_ at the closing quote
    Markup,         // any other markup, up to '>'
  };

  void Enter(State state);
  void Take(char c);
  bool RecentEndsWith(const char* text) const;

  State state_ = State::Data;
  State literalReturn_ = State::Data;
  char quote_ = 0;
  // The last bytes taken since the state was entered, newest last.
  char recent_[9] = {};
  uint32_t recentLength_ = 0;
};
