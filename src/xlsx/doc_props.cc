#include "xlsx/doc_props.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>

#include <fmt/format.h>

#include "base/error.h"
#include "base/vb.h"
#include "xlsx/workbook_xml.h"

namespace kastel::xlsx {
namespace {

constexpr const char* kCustomType =
    "application/vnd.openxmlformats-officedocument.custom-properties+xml";
constexpr const char* kCustomRel =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships/custom-properties";
constexpr const char* kCustomNs =
    "http://schemas.openxmlformats.org/officeDocument/2006/custom-properties";
constexpr const char* kVtNs =
    "http://schemas.openxmlformats.org/officeDocument/2006/docPropsVTypes";
constexpr const char* kFmtId = "{D5CDD505-2E9C-101B-9397-08002B2CF9AE}";
constexpr const char* kDefaultPart = "docProps/custom.xml";

enum class VtKind { kText, kInteger, kReal, kBool, kDate, kOther };

VtKind KindOf(std::string_view local) {
  if (local == "lpwstr" || local == "lpstr" || local == "bstr") return VtKind::kText;
  if (local == "i1" || local == "i2" || local == "i4" || local == "i8" || local == "int" ||
      local == "ui1" || local == "ui2" || local == "ui4" || local == "ui8" || local == "uint") {
    return VtKind::kInteger;
  }
  if (local == "r4" || local == "r8" || local == "decimal") return VtKind::kReal;
  if (local == "bool") return VtKind::kBool;
  if (local == "filetime" || local == "date") return VtKind::kDate;
  return VtKind::kOther;
}

std::optional<double> ParseNumber(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  double v = 0;
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
  if (ec != std::errc() || end != text.data() + text.size() || !std::isfinite(v)) return {};
  return v;
}

std::string NumberXml(double v) {
  char buf[32];
  auto [end, ec] = std::to_chars(buf, buf + sizeof buf, v);
  return ec == std::errc() ? std::string(buf, end) : std::string("0");
}

// Days from 1970-01-01 of a civil date and back (H. Hinnant's algorithms).
long DaysFromCivil(long y, unsigned m, unsigned d) {
  y -= m <= 2;
  const long era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<long>(doe) - 719468;
}

void CivilFromDays(long z, long& y, unsigned& m, unsigned& d) {
  z += 719468;
  const long era = (z >= 0 ? z : z - 146096) / 146097;
  const unsigned doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  d = doy - (153 * mp + 2) / 5 + 1;
  m = mp < 10 ? mp + 3 : mp - 9;
  y = static_cast<long>(yoe) + era * 400 + (m <= 2);
}

constexpr long kSerialOf1970 = 25569;  // 1970-01-01 as a VB date serial

}  // namespace

std::string FileTimeText(double serial) {
  long long seconds = std::llround(serial * 86400.0);
  long long days = seconds >= 0 ? seconds / 86400 : -((-seconds + 86399) / 86400);
  long long rest = seconds - days * 86400;
  long y;
  unsigned m, d;
  CivilFromDays(static_cast<long>(days - kSerialOf1970), y, m, d);
  return fmt::format("{:04}-{:02}-{:02}T{:02}:{:02}:{:02}Z", y, m, d, rest / 3600, rest / 60 % 60,
                     rest % 60);
}

std::optional<double> ParseFileTime(std::string_view t) {
  int y, mo, d, h = 0, mi = 0, s = 0;
  std::string text(t);
  int n = std::sscanf(text.c_str(), "%4d-%2d-%2dT%2d:%2d:%2d", &y, &mo, &d, &h, &mi, &s);
  if (n != 3 && n != 6) return {};
  if (mo < 1 || mo > 12 || d < 1 || d > 31 || h > 23 || mi > 59 || s > 60) return {};
  long days = DaysFromCivil(y, static_cast<unsigned>(mo), static_cast<unsigned>(d)) + kSerialOf1970;
  return static_cast<double>(days) + (h * 3600 + mi * 60 + s) / 86400.0;
}

class XlsxDocumentProperties::Property final : public host::DocumentProperty {
 public:
  Property(Package& package, std::string part, pugi::xml_node node)
      : package_(package), part_(std::move(part)), node_(node) {}

  std::string Name() const override { return node_.attribute("name").value(); }

  Value GetValue() const override {
    pugi::xml_node v = node_.first_child();
    while (v && v.type() != pugi::node_element) v = v.next_sibling();
    const std::string text = UnescapeText(v.text().get());
    switch (KindOf(LocalName(v))) {
      case VtKind::kInteger:
      case VtKind::kReal:
        if (auto n = ParseNumber(text)) return Value::Number(*n);
        break;
      case VtKind::kBool:
        return Value::Boolean(text == "true" || text == "1");
      case VtKind::kDate:
        if (auto serial = ParseFileTime(text)) return Value::Date(*serial);
        break;
      default:
        break;
    }
    return Value::Text(text);
  }

  void SetValue(const Value& value) override {
    pugi::xml_node old = node_.first_child();
    while (old && old.type() != pugi::node_element) old = old.next_sibling();
    const VtKind kind = old ? KindOf(LocalName(old)) : VtKind::kText;
    std::string type = "vt:lpwstr";
    std::string text;
    if (kind == VtKind::kInteger && value.kind() == Value::Kind::kNumber &&
        value.number() == std::floor(value.number()) &&
        std::fabs(value.number()) <= std::numeric_limits<std::int32_t>::max()) {
      type = old.name();
      text = NumberXml(value.number());
    } else if (kind == VtKind::kReal && value.kind() == Value::Kind::kNumber) {
      type = old.name();
      text = NumberXml(value.number());
    } else if (kind == VtKind::kBool && value.kind() == Value::Kind::kBoolean) {
      type = old.name();
      text = value.boolean() ? "true" : "false";
    } else if (kind == VtKind::kDate && value.kind() == Value::Kind::kDate) {
      type = old.name();
      text = FileTimeText(value.date());
    } else {
      text = EscapeText(vb::Concat(value));
    }
    if (old) node_.remove_child(old);
    pugi::xml_node root = node_.parent();
    if (!root.attribute("xmlns:vt")) root.append_attribute("xmlns:vt") = kVtNs;
    node_.append_child(type.c_str()).text().set(text.c_str());
    package_.MarkModified(part_);
  }

 private:
  Package& package_;
  std::string part_;
  pugi::xml_node node_;
};

XlsxDocumentProperties::XlsxDocumentProperties(Package& package) : package_(package) {}
XlsxDocumentProperties::~XlsxDocumentProperties() = default;

void XlsxDocumentProperties::Load() const {
  if (loaded_) return;
  for (const auto& rel : package_.Relationships("")) {
    if (IsRelType(rel.type, "custom-properties") && !rel.target_part.empty() &&
        package_.Has(rel.target_part)) {
      part_ = rel.target_part;
      break;
    }
  }
  if (!part_.empty()) {
    pugi::xml_node root = package_.Xml(part_).document_element();
    for (pugi::xml_node p : Children(root, "property")) {
      items_.push_back(std::make_unique<Property>(package_, part_, p));
    }
  }
  loaded_ = true;
}

int XlsxDocumentProperties::Count() const {
  Load();
  return static_cast<int>(items_.size());
}

host::DocumentProperty& XlsxDocumentProperties::Item(int index) {
  Load();
  if (index < 1 || index > static_cast<int>(items_.size())) {
    throw Error::Runtime(RuntimeError::kSubscript);
  }
  return *items_[static_cast<std::size_t>(index - 1)];
}

host::DocumentProperty& XlsxDocumentProperties::Item(std::string_view name) {
  Load();
  for (auto& p : items_) {
    if (p->Name() == name) return *p;
  }
  throw Error::Runtime(RuntimeError::kSubscript);
}

pugi::xml_node XlsxDocumentProperties::CreatePart() {
  std::string part = kDefaultPart;
  for (int n = 2; package_.Has(part); ++n) part = fmt::format("docProps/custom{}.xml", n);
  package_.Write(part, fmt::format("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
                                   "<Properties xmlns=\"{}\" xmlns:vt=\"{}\"/>",
                                   kCustomNs, kVtNs));
  package_.SetOverride(part, kCustomType);
  // A relationship left pointing at a part that is gone would make the file need repair.
  for (const auto& rel : package_.Relationships("")) {
    if (IsRelType(rel.type, "custom-properties")) package_.RemoveRelationship("", rel.id);
  }
  package_.AddRelationship("", kCustomRel, part);
  part_ = part;
  return package_.Xml(part_).document_element();
}

host::DocumentProperty& XlsxDocumentProperties::AddText(std::string_view name,
                                                        std::string_view value) {
  Load();
  if (name.empty() || name.size() > 255) throw Error::Runtime(RuntimeError::kInvalidCall);
  for (auto& p : items_) {
    if (p->Name() == name) {
      throw Error::Host(fmt::format("ドキュメント プロパティ'{}'は既に存在します。", name));
    }
  }
  pugi::xml_node root = part_.empty() ? CreatePart() : package_.Xml(part_).document_element();
  // New values are written as vt:lpwstr; a part written without any value may lack the prefix.
  if (!root.attribute("xmlns:vt")) root.append_attribute("xmlns:vt") = kVtNs;
  long pid = 1;
  for (pugi::xml_node p : Children(root, "property")) {
    pid = std::max(pid, static_cast<long>(p.attribute("pid").as_int()));
  }
  pugi::xml_node node = root.append_child(QualifiedLike(root, "property").c_str());
  node.append_attribute("fmtid") = kFmtId;
  node.append_attribute("pid") = pid + 1;
  node.append_attribute("name") = std::string(name).c_str();
  node.append_child("vt:lpwstr").text().set(EscapeText(value).c_str());
  package_.MarkModified(part_);
  items_.push_back(std::make_unique<Property>(package_, part_, node));
  return *items_.back();
}

}  // namespace kastel::xlsx
