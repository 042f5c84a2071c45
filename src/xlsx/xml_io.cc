// Parsing and writing the XML of parts. The flags keep what Excel is strict about: the
// declaration with its encoding and standalone attributes, and a text node of white space
// only (<t xml:space="preserve"> </t>), which pugixml's defaults would drop.
#include <cstring>
#include <string>

#include "base/error.h"
#include "xlsx/package.h"
#include "xlsx/package_messages.h"

namespace kastel::xlsx {
namespace {

// Comments and processing instructions (such as <?mso-application ...?>) are kept too, so
// that a part written back differs from its original only where it was changed.
constexpr unsigned kParseFlags = pugi::parse_default | pugi::parse_declaration |
                                 pugi::parse_ws_pcdata_single | pugi::parse_comments |
                                 pugi::parse_pi;

class StringWriter : public pugi::xml_writer {
 public:
  explicit StringWriter(std::string& out) : out_(out) {}
  void write(const void* data, size_t size) override {
    out_.append(static_cast<const char*>(data), size);
  }

 private:
  std::string& out_;
};

bool HasDoctype(const pugi::xml_document& doc) {
  for (pugi::xml_node node : doc.children()) {
    if (node.type() == pugi::node_doctype) return true;
  }
  return false;
}

// The declared encoding when it is UTF-16, so that the bytes written match the declaration.
bool DeclaresUtf16(const pugi::xml_document& doc) {
  pugi::xml_node first = doc.first_child();
  if (first.type() != pugi::node_declaration) return false;
  const char* encoding = first.attribute("encoding").value();
  return strncasecmp(encoding, "utf-16", 6) == 0;
}

}  // namespace

void ParseXml(std::string_view bytes, std::string_view part, pugi::xml_document& doc) {
  // A DTD can declare entities that expand without bound; refuse it before pugixml sees it.
  // The node check below also catches a DOCTYPE in UTF-16 text, which this scan cannot see.
  if (bytes.find("<!DOCTYPE") != std::string_view::npos) {
    throw Error::Host(messages::Doctype(part), kFileFormatError);
  }
  pugi::xml_parse_result result =
      doc.load_buffer(bytes.data(), bytes.size(), kParseFlags | pugi::parse_doctype);
  if (!result) {
    doc.reset();
    throw Error::Host(messages::XmlSyntax(part, result.offset), kFileFormatError);
  }
  if (HasDoctype(doc)) {
    doc.reset();
    throw Error::Host(messages::Doctype(part), kFileFormatError);
  }
}

std::string SerializeXml(const pugi::xml_document& doc) {
  std::string out;
  StringWriter writer(out);
  // format_no_declaration: a declaration is written only when the part had one, as a node.
  unsigned flags = pugi::format_raw | pugi::format_no_declaration;
  if (DeclaresUtf16(doc)) {
    doc.save(writer, "", flags | pugi::format_write_bom, pugi::encoding_utf16_le);
  } else {
    doc.save(writer, "", flags, pugi::encoding_utf8);
  }
  return out;
}

}  // namespace kastel::xlsx
