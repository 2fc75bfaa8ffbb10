#include "xml/xml_attribute.h"

XmlAttribute::~XmlAttribute() {
  name.Reset();
  value.Reset();
}
