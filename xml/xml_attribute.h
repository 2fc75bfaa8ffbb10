// One attribute of an XML node: a name and a value.
#pragma once

#include "base/string_buffer.h"

// Name and value of one attribute. Created and destroyed only by the node that owns it.
class XmlAttribute {
 public:
  XmlAttribute() = default;
  XmlAttribute(const XmlAttribute&) = delete;
  XmlAttribute& operator=(const XmlAttribute&) = delete;
  // Releases the name and the value.
  virtual ~XmlAttribute();

  StringBuffer name;
  StringBuffer value;
};
