// Scene XML: the scene is parsed, walked for its animation buttons, and written in every
// layout; each XML layout's text must parse again to an equivalent tree, and every button
// must hand the player exactly the animation's name.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>

#include "base/path_buffer.h"
#include "base/string_buffer.h"
#include "core/animation_buttons.h"
#include "core/button_block.h"
#include "fuzz/fuzz_check.h"
#include "platform/gui_input.h"
#include "platform/headless/headless_desktop.h"
#include "platform/native_path.h"
#include "tests/xml/xml_equivalence.h"
#include "xml/xml_node.h"
#include "xml/xml_tree.h"
#include "xml/xml_writer.h"

namespace {

// The scene file the button walk reads, in a folder of its own, removed at exit.
const std::string& SceneFile() {
  static const std::string file = [] {
    char folder[] = "/tmp/krn_fuzz_scene_XXXXXX";
    if (mkdtemp(folder) == nullptr) std::abort();
    static std::string made = folder;
    std::atexit([] { std::remove((made + "/scene.krn").c_str()), rmdir(made.c_str()); });
    return made + "/scene.krn";
  }();
  return file;
}

// Each parse error shows a message box, which the headless desktop records: forget them now
// and then.
void ForgetMessageBoxes() {
  if (headless::MessageBoxes().size() > 256) headless::ResetDesktop();
}

std::string Text(StringBuffer* buffer) {
  return buffer != nullptr && buffer->Data() != nullptr ? buffer->Data() : "";
}

// The names of the listed animations' candidates: every KRSTimeElem "Name" value.
std::set<std::string> AnimationNames(XmlNode* doc) {
  std::set<std::string> names;
  for (XmlNode* n = doc->GetFirstChild(); n != nullptr; n = n->GetNextInDocument(doc, nullptr)) {
    if (n->GetKind() == XmlNodeKind::Element && Text(n->GetName()) == "KRSTimeElem") {
      names.insert(Text(n->GetAttributeValue("Name")));
    }
  }
  return names;
}

// The text of an HTML attribute value as the button line escapes it (a line feed may stay;
// a carriage return, which a browser would read as a line feed, may not).
std::string HtmlDecoded(const std::string& text) {
  FUZZ_CHECK(text.find_first_of("\"<>'\r") == std::string::npos,
             "unescaped markup in an attribute: %s", fuzz::Shown(text).c_str());
  return xmltest::ReplaceReferences(text);
}

// The string a script single-quoted literal stands for.
std::string ScriptDecoded(const std::string& literal) {
  std::string out;
  for (size_t i = 0; i < literal.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(literal[i]);
    FUZZ_CHECK(c >= 0x20 && c != '\'', "raw character %02X in the script string %s", c,
               fuzz::Shown(literal).c_str());
    FUZZ_CHECK(
        literal.compare(i, 3, "\xE2\x80\xA8") != 0 && literal.compare(i, 3, "\xE2\x80\xA9") != 0,
        "raw line separator in the script string %s", fuzz::Shown(literal).c_str());
    if (c != '\\') {
      out += literal[i];
      continue;
    }
    FUZZ_CHECK(i + 1 < literal.size(), "script string ends in a backslash");
    const char e = literal[++i];
    if (e == 'n') {
      out += '\n';
    } else if (e == 'r') {
      out += '\r';
    } else if (e == 't') {
      out += '\t';
    } else if (e == 'u') {
      FUZZ_CHECK(i + 4 < literal.size(), "short \\u escape");
      xmltest::AppendUtf8(out,
                          static_cast<uint32_t>(std::stoul(literal.substr(i + 1, 4), nullptr, 16)));
      i += 4;
    } else {
      out += e;
    }
  }
  return out;
}

// Every line of the button block hands the player a name of the scene, the same in name=,
// value= and the script call.
void CheckButtons(const std::string& block, const std::set<std::string>& names) {
  size_t at = 0;
  while (at < block.size()) {
    const size_t end = block.find("\r\n", at);
    FUZZ_CHECK(end != std::string::npos, "a button line without line break");
    const std::string line = block.substr(at, end - at);
    at = end + 2;
    if (line.empty()) continue;
    const std::string head = "<input\tname=\"";
    FUZZ_CHECK(line.rfind(head, 0) == 0, "odd line %s", fuzz::Shown(line).c_str());
    const size_t nameEnd = line.find("\"\ttype=button\tvalue=\"", head.size());
    FUZZ_CHECK(nameEnd != std::string::npos, "odd line %s", fuzz::Shown(line).c_str());
    const size_t valueStart = nameEnd + 21;
    const size_t valueEnd = line.find("\"\tonclick=\"", valueStart);
    FUZZ_CHECK(valueEnd != std::string::npos, "odd line %s", fuzz::Shown(line).c_str());
    const size_t open = line.find("('", valueEnd);
    FUZZ_CHECK(open != std::string::npos && line.size() >= open + 5 &&
                   line.compare(line.size() - 4, 4, "')\">") == 0,
               "odd line %s", fuzz::Shown(line).c_str());
    const std::string name = HtmlDecoded(line.substr(head.size(), nameEnd - head.size()));
    std::string value = HtmlDecoded(line.substr(valueStart, valueEnd - valueStart));
    const std::string function = line.substr(valueEnd + 11, open - valueEnd - 11);
    const std::string literal = HtmlDecoded(line.substr(open + 2, line.size() - 4 - open - 2));
    FUZZ_CHECK(names.count(name) == 1, "button for %s, which is no animation name",
               fuzz::Shown(name).c_str());
    if (function == "startanimation") value = value.substr(6);
    if (function == "stopanimation") value = value.substr(5);
    FUZZ_CHECK(value == name, "value %s for %s", fuzz::Shown(value).c_str(),
               fuzz::Shown(name).c_str());
    FUZZ_CHECK(ScriptDecoded(literal) == name, "the script gets %s for %s",
               fuzz::Shown(ScriptDecoded(literal)).c_str(), fuzz::Shown(name).c_str());
  }
}

void CheckLayouts(XmlNode* doc) {
  for (int32_t layout = 0; layout <= 5; ++layout) {
    StringBuffer text;
    uint32_t length = 0;
    const bool written = BuildXmlText(doc, layout, &text, &length);
    if (layout == 1 || layout == 2 || !written) continue;
    XmlTree again;
    FUZZ_CHECK(again.Parse(text.Data(), static_cast<int32_t>(length), "again.krn", 0),
               "layout %d does not parse:\n%s", layout, fuzz::Shown(Text(&text)).c_str());
    xmltest::Equivalence equivalence(layout);
    const std::string expected = equivalence.Describe(doc, true);
    const std::string found = equivalence.Describe(again.GetRoot()->GetFirstChild(), false);
    FUZZ_CHECK(found == expected, "layout %d reads back otherwise:\n%s\nexpected:\n%s\ntext:\n%s",
               layout, fuzz::Shown(found).c_str(), fuzz::Shown(expected).c_str(),
               fuzz::Shown(Text(&text)).c_str());
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  ForgetMessageBoxes();
  XmlTree tree;
  if (!tree.IsReady()) return 0;
  const bool parsed =
      tree.Parse(reinterpret_cast<const char*>(data), static_cast<int32_t>(size), "fuzz.krn", 0);
  XmlNode* doc = tree.GetRoot() != nullptr ? tree.GetRoot()->GetFirstChild() : nullptr;

  // The button walk reads the scene from its file, as a conversion does.
  FILE* file = std::fopen(SceneFile().c_str(), "wb");
  if (file == nullptr) return 0;
  std::fwrite(data, 1, size, file);
  std::fclose(file);
  char program[kPathSize];
  if (!ProgramPathFromNative(SceneFile().c_str(), program, sizeof program)) return 0;
  ButtonBlock()->SetText(nullptr, -1, 0);
  FUZZ_CHECK(CollectAnimationButtons(PathBuffer(program)), "the scene file was not read");
  if (parsed && doc != nullptr) {
    CheckButtons(Text(ButtonBlock()), AnimationNames(doc));
    CheckLayouts(doc);
  }
  ButtonBlock()->Reset();
  return 0;
}
