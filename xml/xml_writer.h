// Serialisation of an XML subtree as text in one of six layouts.
#pragma once

#include <cstdint>

class FileHandle;
class StringBuffer;
class XmlNode;

// Writes `top`'s subtree into `out` (emptied first) in `layout`: 1 outline of every node,
// 2 outline without blank-leading nodes, 3 pretty XML, 4 pretty XML without header, 5 XML
// with attributes as child elements and no header, 0 or any other value plain XML. The XML
// layouts escape attribute values so that they read back unchanged; text is written raw.
// Stores the byte length of the text in `length`. False if `top` or `out` is null, an XML
// layout is asked for a top without children, an attribute has no name, or the buffer
// cannot grow; `out` then holds a partial text.
bool BuildXmlText(XmlNode* top, int32_t layout, StringBuffer* out, uint32_t* length);

// Writes the same text as BuildXmlText to `file`, open in mode 2 (created or truncated), in
// blocks of a fixed size: memory does not grow with the text, nor is the text limited to
// what a buffer can hold. A text that has to start again (in ISO-8859-1) opens the file in
// mode 2 once more. False when BuildXmlText would fail for a reason other than the buffer,
// or when a write fails; the file then holds a partial text.
bool WriteXmlFile(XmlNode* top, int32_t layout, FileHandle& file);
