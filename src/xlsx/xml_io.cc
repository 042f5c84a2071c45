// Parsing and writing the XML of parts. The flags keep what Excel is strict about: the
// declaration with its encoding and standalone attributes, and a text node of white space
// only (<t xml:space="preserve"> </t>), which pugixml's defaults would drop.
#include <iconv.h>
#include <strings.h>

#include <cstring>
#include <new>
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

// The encoding named by the declaration of ASCII-compatible text; "" when there is none.
std::string DeclaredEncoding(std::string_view bytes) {
  if (bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
  if (bytes.substr(0, 5) != "<?xml") return "";
  std::string_view decl = bytes.substr(0, bytes.find("?>"));
  std::size_t at = decl.find("encoding");
  if (at == std::string_view::npos) return "";
  at = decl.find_first_of("\"'", at);
  if (at == std::string_view::npos) return "";
  std::size_t end = decl.find(decl[at], at + 1);
  if (end == std::string_view::npos) return "";
  return std::string(decl.substr(at + 1, end - at - 1));
}

bool Is(const std::string& encoding, const char* name) {
  return strcasecmp(encoding.c_str(), name) == 0;
}

// pugixml reads these itself (UTF-16 by its byte pattern, Latin-1 by the declaration).
bool ReadByPugixml(const std::string& encoding) {
  return encoding.empty() || Is(encoding, "utf-8") || Is(encoding, "utf8") ||
         Is(encoding, "us-ascii") || Is(encoding, "ascii") || Is(encoding, "iso-8859-1") ||
         Is(encoding, "latin1") || strncasecmp(encoding.c_str(), "utf-16", 6) == 0;
}

// Text in another declared encoding (Shift_JIS, windows-1252, ...) as UTF-8. Files declared
// Shift_JIS come from Windows, whose Shift_JIS is CP932.
std::string ToUtf8(std::string_view bytes, const std::string& encoding, std::string_view part) {
  const bool sjis = Is(encoding, "shift_jis") || Is(encoding, "sjis") || Is(encoding, "x-sjis") ||
                    Is(encoding, "windows-31j");
  iconv_t cd = iconv_open("UTF-8", sjis ? "CP932" : encoding.c_str());
  if (cd == reinterpret_cast<iconv_t>(-1)) {
    throw Error::Host(messages::UnknownEncoding(part, encoding), kFileFormatError);
  }
  std::string out(bytes.size() * 3 + 16, '\0');
  char* in = const_cast<char*>(bytes.data());
  std::size_t in_left = bytes.size();
  char* to = out.data();
  std::size_t to_left = out.size();
  const std::size_t done = iconv(cd, &in, &in_left, &to, &to_left);
  iconv_close(cd);
  if (done == static_cast<std::size_t>(-1)) {
    throw Error::Host(messages::DamagedPart(part), kFileFormatError);
  }
  out.resize(out.size() - to_left);
  return out;
}

// What pugixml 1.13 allocates on a 64-bit machine, with some slack for its page headers.
constexpr std::uint64_t kNodeCost = 72;
constexpr std::uint64_t kAttributeCost = 48;

// 0x80 in each byte of `word` that equals `c`, 0 in the others.
std::uint64_t BytesEqual(std::uint64_t word, unsigned char c) {
  constexpr std::uint64_t kOnes = 0x0101010101010101u;
  constexpr std::uint64_t kLow7 = 0x7F7F7F7F7F7F7F7Fu;
  const std::uint64_t x = word ^ (kOnes * c);
  return ~(((x & kLow7) + kLow7) | x | kLow7);
}

// The sum of the eight byte lanes of `lanes`.
std::uint64_t SumOfLanes(std::uint64_t lanes) {
  constexpr std::uint64_t kEvenBytes = 0x00FF00FF00FF00FFu;
  const std::uint64_t pairs = (lanes & kEvenBytes) + ((lanes >> 8) & kEvenBytes);
  return (pairs * 0x0001000100010001u) >> 48;
}

}  // namespace

std::uint64_t DomCost(std::string_view bytes) {
  std::uint64_t nodes = 0, attributes = 0;
  const char* p = bytes.data();
  const char* end = p + bytes.size();
  // Eight bytes at a time, each beside the byte after it: every part parsed passes here, and
  // byte by byte this was a twelfth of a refresh. Each byte lane counts its own finds, summed
  // before it can overflow. The last few bytes go one by one below.
  std::uint64_t node_lanes = 0, attribute_lanes = 0;
  int words = 0;
  for (; end - p > 8; p += 8) {
    std::uint64_t word = 0, after = 0;
    std::memcpy(&word, p, 8);
    std::memcpy(&after, p + 1, 8);  // byte i of `after` is the one after byte i of `word`
    const std::uint64_t opens = BytesEqual(word, '<') & ~BytesEqual(after, '/');
    const std::uint64_t texts = BytesEqual(word, '>') & ~BytesEqual(after, '<');
    node_lanes += (opens | texts) >> 7;
    attribute_lanes += BytesEqual(word, '=') >> 7;
    if (++words == 255) {
      nodes += SumOfLanes(node_lanes);
      attributes += SumOfLanes(attribute_lanes);
      node_lanes = attribute_lanes = 0;
      words = 0;
    }
  }
  nodes += SumOfLanes(node_lanes);
  attributes += SumOfLanes(attribute_lanes);
  for (; p < end; ++p) {
    const char c = *p;
    if (c == '<') {
      nodes += p + 1 < end && p[1] != '/';
    } else if (c == '>') {
      nodes += p + 1 < end && p[1] != '<';  // a text run follows
    } else if (c == '=') {
      ++attributes;
    }
  }
  return bytes.size() + nodes * kNodeCost + attributes * kAttributeCost;
}

void ParseXml(std::string_view bytes, std::string_view part, pugi::xml_document& doc) {
  // A DTD can declare entities that expand without bound; refuse it before pugixml sees it.
  // The node check below also catches a DOCTYPE in UTF-16 text, which this scan cannot see.
  if (bytes.find("<!DOCTYPE") != std::string_view::npos) {
    throw Error::Host(messages::Doctype(part), kFileFormatError);
  }
  // No byte makes more than one node or attribute: text short enough cannot be too costly,
  // and the count, a pass over every byte, is left to the long ones.
  const std::uint64_t most = PackageLimits().max_dom_cost;
  if (bytes.size() > most / (1 + kNodeCost) && DomCost(bytes) > most) {
    throw Error::Host(messages::TooLargeToHold(part), kFileFormatError);
  }
  const std::string declared = DeclaredEncoding(bytes);
  std::string converted;
  pugi::xml_encoding encoding = pugi::encoding_auto;
  if (!ReadByPugixml(declared)) {
    converted = ToUtf8(bytes, declared, part);
    bytes = converted;
    encoding = pugi::encoding_utf8;
  }
  pugi::xml_parse_result result =
      doc.load_buffer(bytes.data(), bytes.size(), kParseFlags | pugi::parse_doctype, encoding);
  if (result.status == pugi::status_out_of_memory) {
    doc.reset();
    throw std::bad_alloc();
  }
  if (!result) {
    doc.reset();
    throw Error::Host(messages::XmlSyntax(part, result.offset), kFileFormatError);
  }
  if (HasDoctype(doc)) {
    doc.reset();
    throw Error::Host(messages::Doctype(part), kFileFormatError);
  }
  // The DOM holds UTF-8 now, which is what a part is written back in (UTF-16 excepted): the
  // declaration must say so, or every other reader decodes the text wrongly.
  pugi::xml_node first = doc.first_child();
  pugi::xml_attribute encoding_attr = first.attribute("encoding");
  if (first.type() == pugi::node_declaration && encoding_attr && !DeclaresUtf16(doc)) {
    encoding_attr.set_value("UTF-8");
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
