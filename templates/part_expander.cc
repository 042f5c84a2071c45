#include "part_expander.h"

#include <algorithm>
#include <charconv>
#include <pugixml.hpp>
#include <string>
#include <vector>

#include "base/error.h"

namespace kastel::templates {
namespace {

constexpr std::string_view kRepeat = "gen:repeat";
constexpr std::string_view kPrefixAttribute = "xmlns:gen";

[[noreturn]] void Fail(std::string_view part_name, std::string_view what) {
  throw Error(kFileFormatError, "kastel_pack", std::string(part_name) + ": " + std::string(what));
}

long ParseLong(std::string_view text, std::string_view part_name, std::string_view what) {
  long value = 0;
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || ec != std::errc() || end != text.data() + text.size()) {
    Fail(part_name, std::string(what) + "が整数ではありません: \"" + std::string(text) + "\"");
  }
  return value;
}

bool IsRepeat(const pugi::xml_node& node) {
  return node.type() == pugi::node_element && kRepeat == node.name();
}

// Rewrites every attribute value and text of `node`'s subtree for row `r`.
void SubstituteTree(pugi::xml_node node, long r, std::string_view part_name) {
  for (pugi::xml_attribute a : node.attributes()) {
    a.set_value(SubstituteRow(a.value(), r, part_name).c_str());
  }
  for (pugi::xml_node child : node.children()) {
    if (IsRepeat(child)) Fail(part_name, "gen:repeat は入れ子にできません。");
    if (child.type() == pugi::node_pcdata || child.type() == pugi::node_cdata) {
      child.set_value(SubstituteRow(child.value(), r, part_name).c_str());
    } else if (child.type() == pugi::node_element) {
      SubstituteTree(child, r, part_name);
    }
  }
}

// Replaces `repeat` by its children written once per row of its range.
void ExpandRepeat(pugi::xml_node repeat, std::string_view part_name) {
  long from = ParseLong(repeat.attribute("from").value(), part_name, "from");
  long to = ParseLong(repeat.attribute("to").value(), part_name, "to");
  if (from < 1 || from > to || to - from >= kMaxRepeatCount) {
    Fail(part_name,
         "gen:repeat の範囲が不正です: " + std::to_string(from) + ".." + std::to_string(to));
  }
  pugi::xml_node parent = repeat.parent();
  for (long r = from; r <= to; ++r) {
    for (pugi::xml_node child : repeat.children()) {
      if (child.type() != pugi::node_element) continue;
      SubstituteTree(parent.insert_copy_before(child, repeat), r, part_name);
    }
  }
  parent.remove_child(repeat);
}

void ExpandAll(pugi::xml_node node, std::string_view part_name) {
  // Collected first: expanding inserts siblings while we walk.
  std::vector<pugi::xml_node> repeats;
  for (pugi::xml_node child : node.children()) {
    if (IsRepeat(child)) {
      repeats.push_back(child);
    } else if (child.type() == pugi::node_element) {
      ExpandAll(child, part_name);
    }
  }
  for (pugi::xml_node repeat : repeats) ExpandRepeat(repeat, part_name);
}

// Anything else with the generator's prefix would reach the package as an unknown element.
void RejectLeftovers(const pugi::xml_node& node, std::string_view part_name) {
  for (pugi::xml_node child : node.children()) {
    if (child.type() != pugi::node_element) continue;
    if (std::string_view(child.name()).starts_with("gen:")) {
      Fail(part_name, std::string("不明な要素です: ") + child.name());
    }
    RejectLeftovers(child, part_name);
  }
}

}  // namespace

std::string SubstituteRow(std::string_view text, long r, std::string_view part_name) {
  std::string out;
  size_t pos = 0;
  while (pos < text.size()) {
    size_t open = text.find('{', pos);
    if (open == std::string_view::npos) break;
    size_t close = text.find('}', open);
    std::string_view token = close == std::string_view::npos
                                 ? text.substr(open)
                                 : text.substr(open + 1, close - open - 1);
    if (close == std::string_view::npos || token.empty() || token[0] != 'r') {
      Fail(part_name, "不明なプレースホルダーです: \"" + std::string(token) + "\"");
    }
    long value = r;
    if (token.size() > 1) {
      if (token[1] != '+' && token[1] != '-') {
        Fail(part_name, "不明なプレースホルダーです: \"" + std::string(token) + "\"");
      }
      long offset = ParseLong(token.substr(2), part_name, "プレースホルダーの差分");
      value = token[1] == '+' ? r + offset : r - offset;
    }
    out.append(text.substr(pos, open - pos));
    out.append(std::to_string(value));
    pos = close + 1;
  }
  out.append(text.substr(std::min(pos, text.size())));
  return out;
}

std::string ExpandPart(std::string_view xml, std::string_view part_name) {
  pugi::xml_document doc;
  pugi::xml_parse_result parsed =
      doc.load_buffer(xml.data(), xml.size(),
                      pugi::parse_default | pugi::parse_declaration | pugi::parse_ws_pcdata_single,
                      pugi::encoding_utf8);
  if (!parsed) {
    Fail(part_name, std::string("XML が不正です (位置 ") + std::to_string(parsed.offset) +
                        "): " + parsed.description());
  }
  ExpandAll(doc, part_name);
  doc.document_element().remove_attribute(kPrefixAttribute.data());
  RejectLeftovers(doc, part_name);

  struct StringWriter : pugi::xml_writer {
    std::string text;
    void write(const void* data, size_t size) override {
      text.append(static_cast<const char*>(data), size);
    }
  } writer;
  doc.save(writer, "", pugi::format_raw, pugi::encoding_utf8);
  return writer.text;
}

}  // namespace kastel::templates
