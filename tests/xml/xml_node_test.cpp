// Navigation, structural edits and attributes of XmlLinkedNode.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "tests/xml/xml_test_util.h"
#include "ui/toolkit_runtime.h"
#include "xml/xml_linked_node.h"
#include "xml/xml_tree.h"

using xmltest::Children;
using xmltest::MakeNode;
using xmltest::Name;
using xmltest::PreOrder;
using xmltest::Str;

namespace {

// root
//   a
//     a1
//     a2
//       a2x
//   b
//   c
//     c1
struct SampleTree {
  std::unique_ptr<XmlNode> root{MakeNode(nullptr, "root", XmlNodeKind::Document)};
  XmlNode* a = MakeNode(root.get(), "a");
  XmlNode* a1 = MakeNode(a, "a1");
  XmlNode* a2 = MakeNode(a, "a2");
  XmlNode* a2x = MakeNode(a2, "a2x");
  XmlNode* b = MakeNode(root.get(), "b");
  XmlNode* c = MakeNode(root.get(), "c");
  XmlNode* c1 = MakeNode(c, "c1");
};

TEST(XmlNodeWalk, PreOrderWithStopNodesAndDepth) {
  SampleTree t;
  EXPECT_EQ(PreOrder(t.root.get()), "root a a1 a2 a2x b c c1")
      << "walking with each node as its own stop must visit the whole tree once";

  // Depth follows the level of each result relative to the start.
  struct Step {
    XmlNode* from;
    XmlNode* expected;
    int32_t depthChange;
  };
  const Step steps[] = {
      {t.root.get(), t.a, 1}, {t.a, t.a1, 1},   {t.a1, t.a2, 0},
      {t.a2, t.a2x, 1},       {t.a2x, t.b, -2}, {t.c1, nullptr, -2},
  };
  for (const Step& s : steps) {
    int32_t depth = 0;
    XmlNode* next = s.from->GetNextInDocument(s.from, &depth);
    EXPECT_EQ(next, s.expected) << "successor of " << Name(s.from);
    EXPECT_EQ(depth, s.depthChange) << "depth change after " << Name(s.from);
  }

  // An ancestor as stop node bounds the climb even though it has a next sibling.
  EXPECT_EQ(t.a2x->GetNextInDocument(t.a, nullptr), nullptr)
      << "climb must stop at the stop node a although a has a next sibling";
  EXPECT_EQ(t.a2x->GetNextInDocument(t.a2, nullptr), nullptr) << "stop at the direct parent";
  // A node's own next sibling is returned even when the node is the stop.
  EXPECT_EQ(t.a1->GetNextInDocument(t.a1, nullptr), t.a2);
  EXPECT_EQ(t.b->GetNextInDocument(t.b, nullptr), t.c);
  // Walking a subtree with its root as stop visits exactly the subtree.
  std::string sub;
  int32_t depth = 0;
  for (XmlNode* n = t.a->GetFirstChild(); n != nullptr; n = n->GetNextInDocument(t.a, &depth)) {
    sub += Name(n) + ":" + std::to_string(depth) + " ";
  }
  EXPECT_EQ(sub, "a1:0 a2:0 a2x:1 ") << "subtree walk with the subtree's root as stop";
}

TEST(XmlNodeWalk, PrevInDocumentIsTheExactReverse) {
  SampleTree t;
  std::vector<XmlNode*> forward;
  for (XmlNode* n = t.root.get(); n != nullptr; n = n->GetNextInDocument(n, nullptr)) {
    forward.push_back(n);
  }
  for (size_t i = forward.size() - 1; i > 0; --i) {
    EXPECT_EQ(forward[i]->GetPrevInDocument(), forward[i - 1])
        << "predecessor of " << Name(forward[i]);
  }
  EXPECT_EQ(t.root->GetPrevInDocument(), nullptr) << "a root has no predecessor";
  EXPECT_EQ(t.b->GetPrevInDocument(), t.a2x) << "last node of the previous sibling's subtree";

  EXPECT_EQ(t.a2->GetFirstSibling(), t.a1);
  EXPECT_EQ(t.a1->GetFirstSibling(), t.a1) << "first sibling of the first is itself";
  EXPECT_EQ(t.a->GetLastSibling(), t.c);
  EXPECT_EQ(t.c->GetLastSibling(), t.c) << "last sibling of the last is itself";
  EXPECT_EQ(t.root->GetChildCount(), 3u);
  EXPECT_EQ(t.b->GetChildCount(), 0u);
  EXPECT_EQ(t.a->GetIndexInParent(), 0u);
  EXPECT_EQ(t.c->GetIndexInParent(), 2u);
}

TEST(XmlNodeEdit, InsertUnderPositionsAndIndices) {
  std::unique_ptr<XmlNode> parent(MakeNode(nullptr, "p"));
  int32_t index = -7;

  XmlNode* x = MakeNode(nullptr, "x");
  ASSERT_EQ(x->InsertUnder(parent.get(), &index, 5), x) << "insert into an empty child list";
  EXPECT_EQ(index, 0);

  XmlNode* y = MakeNode(nullptr, "y");
  ASSERT_EQ(y->InsertUnder(parent.get(), &index, -1), y);
  EXPECT_EQ(index, 1) << "-1 appends: index is the former number of children";

  XmlNode* z = MakeNode(nullptr, "z");
  ASSERT_EQ(z->InsertUnder(parent.get(), &index, 0), z);
  EXPECT_EQ(index, 0) << "position 0 makes the node first";
  EXPECT_EQ(Children(parent.get()), "z x y");

  XmlNode* m = MakeNode(nullptr, "m");
  ASSERT_EQ(m->InsertUnder(parent.get(), &index, 2), m);
  EXPECT_EQ(index, 2) << "position 2 goes between child 1 and child 2";
  EXPECT_EQ(Children(parent.get()), "z x m y");

  XmlNode* n = MakeNode(nullptr, "n");
  ASSERT_EQ(n->InsertUnder(parent.get(), &index, 4), n);
  EXPECT_EQ(index, 4) << "position equal to the count appends";
  XmlNode* o = MakeNode(nullptr, "o");
  ASSERT_EQ(o->InsertUnder(parent.get(), &index, 99), o);
  EXPECT_EQ(index, 5) << "position past the end appends";
  XmlNode* q = MakeNode(nullptr, "q");
  ASSERT_EQ(q->InsertUnder(parent.get(), nullptr, -3), q) << "no index output is fine";
  EXPECT_EQ(Children(parent.get()), "z x m y n o q");
  EXPECT_EQ(m->GetIndexInParent(), 2u);

  // A node with a parent refuses and nothing changes.
  std::unique_ptr<XmlNode> other(MakeNode(nullptr, "other"));
  index = 42;
  EXPECT_EQ(x->InsertUnder(other.get(), &index, 0), nullptr);
  EXPECT_EQ(index, 42) << "a refused insert must not write the index";
  EXPECT_EQ(x->GetParent(), parent.get());
  EXPECT_EQ(Children(parent.get()), "z x m y n o q");
  EXPECT_EQ(other->GetFirstChild(), nullptr);
  XmlNode* loose = MakeNode(nullptr, "loose");
  EXPECT_EQ(loose->InsertUnder(nullptr, nullptr, 0), nullptr) << "no parent given";
  delete loose;

  // CreateChild makes an added node with both layout flags and inserts it.
  XmlNode* made = parent->CreateChild(parent.get(), "new", 3, XmlNodeKind::Element, &index, 1);
  ASSERT_NE(made, nullptr);
  EXPECT_EQ(index, 1);
  EXPECT_EQ(Name(made), "new");
  EXPECT_EQ(made->GetKind(), XmlNodeKind::Element);
  EXPECT_TRUE(made->GetIndentAlways() && made->GetNewlineAlways()) << "CreateChild flags";
  EXPECT_FALSE(made->IsFromSource()) << "an added node is not from source";
  EXPECT_EQ(Children(parent.get()), "z new x m y n o q");
  XmlNode* cut = parent->CreateChild(parent.get(), "trimmed", 4, XmlNodeKind::Text, nullptr, -1);
  ASSERT_NE(cut, nullptr);
  EXPECT_EQ(Name(cut), "trim") << "the name length limits the name";
}

TEST(XmlNodeEdit, InsertUnderRefusesCycles) {
  std::unique_ptr<XmlNode> top(MakeNode(nullptr, "top"));
  XmlNode* child = MakeNode(top.get(), "child");
  XmlNode* grandchild = MakeNode(child, "grandchild");
  EXPECT_EQ(top->InsertUnder(grandchild, nullptr, -1), nullptr)
      << "a node must not be inserted under its own descendant";
  EXPECT_EQ(top->InsertUnder(top.get(), nullptr, -1), nullptr) << "nor under itself";
  EXPECT_EQ(top->GetParent(), nullptr);
  EXPECT_FALSE(child->MoveUnder(grandchild)) << "moving under a descendant is refused";
  EXPECT_EQ(child->GetParent(), top.get()) << "a refused move must leave the node in place";
  EXPECT_FALSE(child->MoveUnder(nullptr)) << "moving under no parent is refused";
  EXPECT_EQ(Children(top.get()), "child");
  EXPECT_EQ(PreOrder(top.get()), "top child grandchild");
}

TEST(XmlNodeEdit, DetachAndDelete) {
  SampleTree t;
  // A root refuses and survives.
  EXPECT_FALSE(t.root->Detach());
  EXPECT_FALSE(t.root->DetachAndDelete()) << "a root must refuse DetachAndDelete";
  EXPECT_EQ(PreOrder(t.root.get()), "root a a1 a2 a2x b c c1");

  // Detach keeps the subtree and closes the gap.
  ASSERT_TRUE(t.a2->Detach());
  std::unique_ptr<XmlNode> detached(t.a2);
  EXPECT_EQ(t.a2->GetParent(), nullptr);
  EXPECT_EQ(t.a2->GetPrevSibling(), nullptr);
  EXPECT_EQ(t.a2->GetNextSibling(), nullptr);
  EXPECT_EQ(Children(t.a2), "a2x") << "a detached node keeps its children";
  EXPECT_EQ(Children(t.a), "a1");
  EXPECT_FALSE(t.a2->Detach()) << "a second detach has no parent to leave";

  // Deleting the first child moves the parent's first-child link on.
  ASSERT_TRUE(t.a->DetachAndDelete());
  EXPECT_EQ(Children(t.root.get()), "b c");
  // Deleting a middle child links its neighbours.
  XmlNode* d = MakeNode(t.root.get(), "d");
  (void)d;
  ASSERT_TRUE(t.c->DetachAndDelete());
  EXPECT_EQ(Children(t.root.get()), "b d");
  EXPECT_EQ(PreOrder(t.root.get()), "root b d");

  // MoveUnder appends the node with its subtree.
  ASSERT_TRUE(t.a2->MoveUnder(t.b));
  detached.release();
  EXPECT_EQ(PreOrder(t.root.get()), "root b a2 a2x d");
  EXPECT_EQ(Children(t.b), "a2");
}

TEST(XmlNodeEdit, SwapWithSiblingInAllThreeCases) {
  std::unique_ptr<XmlNode> p(MakeNode(nullptr, "p"));
  XmlNode* n[5];
  const char* names[] = {"n0", "n1", "n2", "n3", "n4"};
  for (int i = 0; i < 5; ++i) n[i] = MakeNode(p.get(), names[i]);

  ASSERT_TRUE(n[0]->SwapWithSibling(n[1])) << "first child with its successor";
  EXPECT_EQ(Children(p.get()), "n1 n0 n2 n3 n4");
  EXPECT_EQ(p->GetFirstChild(), n[1]) << "the successor must become the first child";

  ASSERT_TRUE(n[3]->SwapWithSibling(n[2])) << "other directly precedes";
  EXPECT_EQ(Children(p.get()), "n1 n0 n3 n2 n4");

  ASSERT_TRUE(n[1]->SwapWithSibling(n[4])) << "first and last, apart";
  EXPECT_EQ(Children(p.get()), "n4 n0 n3 n2 n1");
  EXPECT_EQ(p->GetFirstChild(), n[4]);

  ASSERT_TRUE(n[0]->SwapWithSibling(n[2])) << "two inner nodes, apart";
  EXPECT_EQ(Children(p.get()), "n4 n2 n3 n0 n1");

  ASSERT_TRUE(n[1]->SwapWithSibling(n[0])) << "last with its predecessor";
  EXPECT_EQ(Children(p.get()), "n4 n2 n3 n1 n0");

  EXPECT_TRUE(n[3]->SwapWithSibling(n[3])) << "swapping with itself changes nothing";
  EXPECT_EQ(Children(p.get()), "n4 n2 n3 n1 n0");

  std::unique_ptr<XmlNode> q(MakeNode(nullptr, "q"));
  XmlNode* foreign = MakeNode(q.get(), "foreign");
  EXPECT_FALSE(n[0]->SwapWithSibling(foreign)) << "different parents must be refused";
  EXPECT_FALSE(n[0]->SwapWithSibling(nullptr));
  EXPECT_EQ(Children(p.get()), "n4 n2 n3 n1 n0");
  EXPECT_EQ(Children(q.get()), "foreign");
}

TEST(XmlNodeEdit, MakeFirstAndLastSibling) {
  std::unique_ptr<XmlNode> p(MakeNode(nullptr, "p"));
  XmlNode* a = MakeNode(p.get(), "a");
  XmlNode* b = MakeNode(p.get(), "b");
  XmlNode* c = MakeNode(p.get(), "c");

  EXPECT_FALSE(c->MakeLastSibling()) << "already last";
  EXPECT_FALSE(a->MakeFirstSibling()) << "already first";
  EXPECT_EQ(Children(p.get()), "a b c");

  ASSERT_TRUE(a->MakeLastSibling());
  EXPECT_EQ(Children(p.get()), "b c a") << "the former first child moved to the end";
  EXPECT_EQ(p->GetFirstChild(), b);

  ASSERT_TRUE(c->MakeLastSibling()) << "a middle node to the end";
  EXPECT_EQ(Children(p.get()), "b a c");

  ASSERT_TRUE(c->MakeFirstSibling()) << "the last node to the front";
  EXPECT_EQ(Children(p.get()), "c b a");
  EXPECT_EQ(p->GetFirstChild(), c);

  ASSERT_TRUE(b->MakeFirstSibling()) << "a middle node to the front";
  EXPECT_EQ(Children(p.get()), "b c a");
}

TEST(XmlNodeAttributes, ByNameAndIndexWithSentinels) {
  std::unique_ptr<XmlNode> node(MakeNode(nullptr, "KRSTimeElem"));
  const char* list[] = {"Name", "Walk", "On", "1", "Clamp", "", "Name", "Shadow", nullptr};
  ASSERT_TRUE(node->SetAttributes(list));
  ASSERT_EQ(node->GetAttributeCount(), 4u) << "duplicate names are kept";

  EXPECT_EQ(Str(node->GetAttributeValue("Name")), "Walk") << "the first match wins";
  EXPECT_EQ(Str(node->GetAttributeName(3)), "Name");
  EXPECT_EQ(Str(node->GetAttributeValueAt(3)), "Shadow");
  EXPECT_EQ(Str(node->GetAttributeValueAt(1)), "1");
  EXPECT_EQ(node->GetAttributeValue("name"), XmlEmptySentinel()) << "names are case-sensitive";
  EXPECT_EQ(node->GetAttributeValue("Missing"), XmlEmptySentinel());
  EXPECT_EQ(node->GetAttributeValue("Missing")->Data(), nullptr) << "the empty sentinel is empty";
  EXPECT_EQ(node->GetAttributeName(4), XmlEmptySentinel()) << "name index out of range";
  EXPECT_EQ(node->GetAttributeValueAt(4), XmlErrorStrSentinel()) << "value index out of range";
  EXPECT_EQ(Str(node->GetAttributeValueAt(4)), "ErrorStr");
  EXPECT_EQ(Str(node->GetAttributeValueAt(0xFFFFFFFFu)), "ErrorStr");

  uint32_t length = 99;
  EXPECT_TRUE(node->GetAttributeNameLength(2, &length));
  EXPECT_EQ(length, 5u);
  EXPECT_TRUE(node->GetAttributeValueLength(0, &length));
  EXPECT_EQ(length, 4u);
  EXPECT_FALSE(node->GetAttributeValueLength(4, &length)) << "index equal to the count";
  EXPECT_FALSE(node->GetAttributeNameLength(0, nullptr)) << "null output";

  // An empty value reads as absent for the typed getters.
  int32_t i = 77;
  float f = 7.0f;
  EXPECT_FALSE(node->GetIntAttribute("Clamp", &i)) << "empty value must read as absent";
  EXPECT_FALSE(node->GetFloatAttribute("Clamp", &f)) << "empty value must read as absent";
  EXPECT_FALSE(node->GetIntAttribute("Missing", &i));
  EXPECT_EQ(i, 77) << "a failed getter must not write";
  const char* text = "untouched";
  EXPECT_TRUE(node->GetAttributeText("Clamp", &text)) << "an empty attribute exists";
  EXPECT_EQ(text, nullptr) << "its text is null";
  EXPECT_FALSE(node->GetAttributeText("Missing", &text));
  EXPECT_TRUE(node->GetAttributeText("On", &text));
  EXPECT_STREQ(text, "1");

  EXPECT_TRUE(node->GetIntAttribute("On", &i));
  EXPECT_EQ(i, 1);
  EXPECT_TRUE(node->GetIntAttributeAt(4, &i)) << "ErrorStr converts";
  EXPECT_EQ(i, 0) << "ErrorStr converts to 0";
  EXPECT_FALSE(node->GetIntAttributeAt(2, &i)) << "empty value by index reads as absent";
  EXPECT_FALSE(node->GetIntAttributeAt(0, nullptr));

  // SetAttribute replaces in place or appends.
  ASSERT_TRUE(node->SetAttribute("On", "0"));
  EXPECT_EQ(Str(node->GetAttributeName(1)), "On") << "replacement keeps the position";
  EXPECT_EQ(Str(node->GetAttributeValueAt(1)), "0");
  ASSERT_TRUE(node->SetAttribute("Extra", "x"));
  EXPECT_EQ(node->GetAttributeCount(), 5u);
  EXPECT_EQ(Str(node->GetAttributeName(4)), "Extra") << "a new name appends";

  // SetAttributes replaces everything; an empty list clears.
  const char* two[] = {"x", "1", "y", "2", nullptr};
  ASSERT_TRUE(node->SetAttributes(two));
  EXPECT_EQ(node->GetAttributeCount(), 2u);
  EXPECT_EQ(Str(node->GetAttributeValue("y")), "2");
  ASSERT_TRUE(node->RemoveAllAttributes());
  EXPECT_EQ(node->GetAttributeCount(), 0u);
  EXPECT_EQ(node->GetAttributeValue("x"), XmlEmptySentinel());
  ASSERT_TRUE(node->SetAttributes(nullptr));
  EXPECT_EQ(node->GetAttributeCount(), 0u);

  EXPECT_EQ(Str(XmlErrorStrSentinel()), "ErrorStr") << "the sentinel must not have been written";
  EXPECT_EQ(XmlEmptySentinel()->Data(), nullptr) << "the empty sentinel must stay empty";
}

TEST(XmlNodeAttributes, NumberConversionsAndFloatFormatting) {
  std::unique_ptr<XmlNode> node(MakeNode(nullptr, "n"));
  struct Case {
    float value;
    const char* text;
  };
  const Case cases[] = {
      {2.0f, "2"},   {0.125f, "0.125"},     {1.000001f, "1"},       {3.0f, "3"},
      {2.5f, "2.5"}, {0.1f, "0.1"},         {-0.25f, "-0.25"},      {-7.0f, "-7"},
      {0.0f, "0"},   {123.456f, "123.456"}, {1e10f, "10000000000"},
  };
  for (const Case& c : cases) {
    ASSERT_TRUE(node->SetFloatAttribute("v", c.value)) << "storing " << c.value;
    EXPECT_EQ(Str(node->GetAttributeValue("v")), c.text) << "text of " << c.value;
  }
  EXPECT_EQ(node->GetAttributeCount(), 1u) << "repeated sets replace the one attribute";

  ASSERT_TRUE(node->SetIntAttribute("i", -42));
  EXPECT_EQ(Str(node->GetAttributeValue("i")), "-42");

  // atol / atof conventions: leading blanks, sign, stop at the first other character.
  const char* list[] = {"a", "  -12abc", "b", "x9", "c", " 2.5e1z", "d", "+7", nullptr};
  ASSERT_TRUE(node->SetAttributes(list));
  int32_t i = -1;
  float f = -1.0f;
  EXPECT_TRUE(node->GetIntAttribute("a", &i));
  EXPECT_EQ(i, -12);
  EXPECT_TRUE(node->GetIntAttribute("b", &i)) << "text without digits still converts";
  EXPECT_EQ(i, 0);
  EXPECT_TRUE(node->GetFloatAttribute("c", &f));
  EXPECT_FLOAT_EQ(f, 25.0f);
  // Beyond the 32-bit range a value is held at the nearest end, by name and by index.
  const char* large[] = {"p", " 4294967296", "q", "-2147483649x", nullptr};
  ASSERT_TRUE(node->SetAttributes(large));
  EXPECT_TRUE(node->GetIntAttribute("p", &i));
  EXPECT_EQ(i, 2147483647) << "4294967296 must not wrap to 0";
  EXPECT_TRUE(node->GetIntAttributeAt(1, &i));
  EXPECT_EQ(i, INT32_MIN) << "-2147483649 must not wrap to 2147483647";
  ASSERT_TRUE(node->SetAttributes(list));

  EXPECT_TRUE(node->GetFloatAttributeAt(3, &f));
  EXPECT_FLOAT_EQ(f, 7.0f);
  EXPECT_TRUE(node->GetFloatAttributeAt(9, &f)) << "out of range converts ErrorStr";
  EXPECT_FLOAT_EQ(f, 0.0f);
}

TEST(XmlNodeLifecycle, FlagsLinesAndNames) {
  std::unique_ptr<XmlNode> parent(MakeNode(nullptr, "p"));
  XmlLinkedNode* node = new XmlLinkedNode(parent.get());
  EXPECT_TRUE(node->IsValid()) << "construction under a parent succeeded";
  EXPECT_EQ(node->GetKind(), XmlNodeKind::Document) << "kind is 0 until set";
  EXPECT_FALSE(node->GetIndentAlways() || node->GetNewlineAlways() || node->IsFromSource());
  EXPECT_EQ(node->GetLine(), 0);
  EXPECT_EQ(node->GetNameLength(), 0u);
  ASSERT_NE(node->GetName(), nullptr) << "the name buffer is never null";

  const char* attrs[] = {"k", "v", nullptr};
  ASSERT_TRUE(node->Init("hello world", 5, XmlNodeKind::Text, attrs));
  EXPECT_EQ(Name(node), "hello");
  EXPECT_EQ(node->GetNameLength(), 5u);
  EXPECT_EQ(node->GetKind(), XmlNodeKind::Text);
  EXPECT_EQ(node->GetAttributeCount(), 1u);
  node->SetLine(12);
  node->SetFromSource(true);
  node->SetIndentAlways(true);
  EXPECT_EQ(node->GetLine(), 12);
  EXPECT_TRUE(node->IsFromSource() && node->GetIndentAlways());
  EXPECT_FALSE(node->GetNewlineAlways());
  ASSERT_TRUE(node->SetName("full", -1));
  EXPECT_EQ(Name(node), "full");
  EXPECT_EQ(Children(parent.get()), "full");
}

TEST(XmlNodeLifecycle, DeepAndWideTreesAreDestroyedWithoutRecursion) {
  // 200,000 levels: a recursive destructor or walk would overflow the stack.
  constexpr int kDepth = 200000;
  XmlNode* root = MakeNode(nullptr, "deep");
  XmlNode* tip = root;
  for (int i = 0; i < kDepth; ++i) tip = MakeNode(tip, "d");
  int32_t depth = 0;
  int visited = 0;
  for (XmlNode* n = root; n != nullptr; n = n->GetNextInDocument(root, &depth)) ++visited;
  EXPECT_EQ(visited, kDepth + 1);
  EXPECT_EQ(tip->GetPrevInDocument()->GetFirstChild(), tip);
  // Destroying a middle node leaves the upper part intact.
  XmlNode* middle = root->GetFirstChild()->GetFirstChild();
  ASSERT_TRUE(middle->DetachAndDelete());
  EXPECT_EQ(root->GetFirstChild()->GetFirstChild(), nullptr);
  delete root;

  // A wide and bushy tree mixes both directions.
  XmlNode* wide = MakeNode(nullptr, "wide");
  for (int i = 0; i < 1000; ++i) {
    XmlNode* child = MakeNode(wide, "c");
    for (int j = 0; j < 3; ++j) MakeNode(MakeNode(child, "g"), "gg");
  }
  EXPECT_EQ(wide->GetChildCount(), 1000u);
  delete wide;
}

}  // namespace

namespace {

TEST(XmlNodeLifecycle, AttributeArraysReturnEveryToolkitByte) {
  ASSERT_TRUE(ToolkitStart(nullptr, false)) << "the toolkit must start to count its bytes";
  ToolkitContext* context = GetToolkitContext();
  ASSERT_NE(context, nullptr);
  const int32_t before = context->bytesInUse;
  {
    XmlTree tree;
    const std::string text =
        "<scene a=\"1\"><KRSTimeElem Name=\"Walk\" On=\"1\"/><g x=\"1\" y=\"2\"><h/></g></scene>";
    ASSERT_TRUE(tree.Parse(text.data(), static_cast<int32_t>(text.size()), "acc.krn", 0));
    XmlNode* scene = tree.GetRoot()->GetFirstChild()->GetFirstChild();
    EXPECT_GT(context->bytesInUse, before) << "attribute arrays come from the toolkit allocator";
    // Edits that replace, grow and drop attribute arrays.
    ASSERT_TRUE(scene->SetAttribute("b", "2"));
    ASSERT_TRUE(scene->SetFloatAttribute("c", 0.5f));
    ASSERT_TRUE(scene->GetFirstChild()->DetachAndDelete());
    ASSERT_TRUE(scene->RemoveAllAttributes());
    ASSERT_TRUE(scene->SetAttribute("d", "4"));
  }
  EXPECT_EQ(context->bytesInUse, before) << "destroying the tree must free every attribute array";
  ToolkitStop();
}

TEST(XmlNodeLifecycle, ParsedAttributeArraysHoldOnlyTheirAttributes) {
  ASSERT_TRUE(ToolkitStart(nullptr, false));
  ToolkitContext* context = GetToolkitContext();
  ASSERT_NE(context, nullptr);
  const int32_t before = context->bytesInUse;
  {
    std::string text = "<scene>";
    for (int i = 0; i < 1000; ++i) text += "<e a=\"1\" b=\"2\"/>";
    text += "</scene>";
    XmlTree tree;
    ASSERT_TRUE(tree.Parse(text.data(), static_cast<int32_t>(text.size()), "many.krn", 0));
    const int32_t perElement = (context->bytesInUse - before) / 1000;
    // Room for 100 attribute pointers per element would be 400 or 800 bytes each.
    EXPECT_LT(perElement, static_cast<int32_t>(16 * sizeof(void*)))
        << "a parsed element keeps spare attribute slots: " << perElement << " bytes each";
    XmlNode* first = tree.GetRoot()->GetFirstChild()->GetFirstChild()->GetFirstChild();
    ASSERT_TRUE(first->SetAttribute("c", "3")) << "a trimmed array must still grow";
    EXPECT_STREQ(first->GetAttributeValue("c")->Data(), "3");
    EXPECT_STREQ(first->GetAttributeValue("a")->Data(), "1");
  }
  EXPECT_EQ(context->bytesInUse, before);
  ToolkitStop();
}

}  // namespace
