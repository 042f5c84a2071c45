#include "xlsx/sheet_cells.h"

#include <strings.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdint>
#include <cstring>
#include <utility>

#include "base/error.h"
#include "base/utf8.h"
#include "xlsx/a1.h"
#include "xlsx/package.h"

namespace kastel::xlsx {
namespace {

std::uint64_t Key(int row, int column) {
  return static_cast<std::uint64_t>(static_cast<std::uint32_t>(row)) << 32 |
         static_cast<std::uint32_t>(column);
}

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

// Looked up rather than worked out: every byte of every tag and attribute name passes here.
constexpr std::array<bool, 256> kNameChars = [] {
  std::array<bool, 256> table{};
  for (int c = 0; c < 256; ++c) {
    table[static_cast<std::size_t>(c)] = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                                         (c >= '0' && c <= '9') || c == '_' || c == ':' ||
                                         c == '-' || c == '.' || c >= 0x80;
  }
  return table;
}();

bool IsNameChar(char c) { return kNameChars[static_cast<unsigned char>(c)]; }

// Names are a few characters: a loop beats a call to memchr for each tag.
std::string_view Local(std::string_view name) {
  for (std::size_t i = 0; i < name.size(); ++i) {
    if (name[i] == ':') return name.substr(i + 1);
  }
  return name;
}

bool HasSpecial(std::string_view text) {
  for (char c : text) {
    if (c == '&' || c == '\r') return true;
  }
  return false;
}

// The reference at the start of `text` ("&amp;", "&#12486;", "&#x41;"): its length, and the
// character appended to `out`; 0 for anything else, which the parser then decodes.
std::size_t Reference(std::string_view text, std::string& out) {
  static constexpr std::pair<std::string_view, char> kNamed[] = {
      {"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}, {"&apos;", '\''}};
  // Writers that keep to ASCII give every other character as a numeric reference: those first.
  if (!text.starts_with("&#")) {
    for (const auto& [name, c] : kNamed) {
      if (text.starts_with(name)) {
        out += c;
        return name.size();
      }
    }
    return 0;
  }
  const bool hex = text.size() > 2 && text[2] == 'x';
  const std::size_t first = hex ? 3 : 2;
  const std::size_t end = text.find(';', first);
  if (end == std::string_view::npos || end == first || end - first > (hex ? 6u : 7u)) return 0;
  std::uint32_t c = 0;
  auto [ptr, ec] = std::from_chars(text.data() + first, text.data() + end, c, hex ? 16 : 10);
  if (ec != std::errc() || ptr != text.data() + end || c == 0 || c > 0x10FFFF ||
      (c >= 0xD800 && c <= 0xDFFF)) {
    return 0;
  }
  AppendUtf8(out, static_cast<char32_t>(c));
  return end + 1;
}

// Text with references decoded as the parser does; false when it holds anything but the
// plain references.
bool DecodeText(std::string_view raw, std::string& out) {
  out.clear();
  std::size_t at = 0;
  while (at < raw.size()) {
    const std::size_t amp = raw.find('&', at);
    const std::string_view run = raw.substr(at, amp - at);
    if (run.find('\r') != std::string_view::npos) return false;
    out += run;
    if (amp == std::string_view::npos) break;
    const std::size_t used = Reference(raw.substr(amp), out);
    if (used == 0) return false;
    at = amp + used;
  }
  return true;
}

// A row number as the DOM index reads it.
bool ParseRowNumber(std::string_view text, int& out) {
  int value = 0;
  auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || ptr != text.data() + text.size() || value < 1 || value > kMaxRow) {
    return false;
  }
  out = value;
  return true;
}

// A style index in the plain form every writer uses; other forms are the DOM's to read.
bool ParseStyle(std::string_view text, unsigned& out) {
  if (text.empty() || text.size() > 9) return false;
  out = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    out = out * 10 + static_cast<unsigned>(c - '0');
  }
  return true;
}

// Text holding references or a carriage return, decoded by the parser the DOM uses, so that
// both ways agree on every escape.
bool ParsedText(std::string_view raw, std::string& out) {
  std::string fragment = "<t>";
  fragment += raw;
  fragment += "</t>";
  pugi::xml_document doc;
  try {
    ParseXml(fragment, "", doc);
  } catch (const Error&) {
    return false;
  }
  pugi::xml_node t = doc.first_child();
  if (t.first_child() != t.last_child()) return false;
  out = t.text().get();
  return true;
}

bool IsDeclaration(std::string_view rest) {
  return rest.starts_with("<?xml") && rest.size() > 5 && (IsSpace(rest[5]) || rest[5] == '?');
}

// The declaration, when there is one, names UTF-8 (or no encoding).
bool DeclaresUtf8(std::string_view declaration) {
  const std::size_t at = declaration.find("encoding");
  if (at == std::string_view::npos) return true;
  std::size_t q = declaration.find_first_of("\"'", at);
  if (q == std::string_view::npos) return false;
  const std::size_t end = declaration.find(declaration[q], q + 1);
  if (end == std::string_view::npos) return false;
  const std::string_view name = declaration.substr(q + 1, end - q - 1);
  return name.size() == 5 && strncasecmp(name.data(), "utf-8", 5) == 0;
}

}  // namespace

class SheetCells::Pass {
 public:
  explicit Pass(SheetCells& table) : t_(table), s_(table.bytes_) {}

  bool Run() {
    if (s_.find('\0') != std::string_view::npos) return false;
    constexpr std::string_view kDoctype = "<!DOCTYPE";
    if (memmem(s_.data(), s_.size(), kDoctype.data(), kDoctype.size()) != nullptr) return false;
    if (s_.substr(0, 3) == "\xEF\xBB\xBF") at_ = 3;
    if (IsDeclaration(s_.substr(at_))) {
      const std::size_t end = s_.find("?>", at_);
      if (end == std::string_view::npos || !DeclaresUtf8(s_.substr(at_, end - at_))) return false;
      at_ = end + 2;
    }
    while (at_ < s_.size()) {
      const std::size_t lt = s_.find('<', at_);
      const std::string_view text = s_.substr(at_, lt - at_);
      if (stack_.empty() && !std::all_of(text.begin(), text.end(), IsSpace)) return false;
      if (lt == std::string_view::npos) break;
      at_ = lt;
      if (!Markup()) return false;
    }
    return root_seen_ && stack_.empty();
  }

 private:
  enum class Role { kOther, kRoot, kSheetData, kRow, kCell, kValue, kInline, kRun, kText };
  struct Open {
    std::string_view name;
    Role role;
  };

  bool Markup() {
    // Tags are nearly all there is: tell them by the character after "<" first.
    const char next = at_ + 1 < s_.size() ? s_[at_ + 1] : '\0';
    if (next == '/') return EndTag();
    if (next != '?' && next != '!') return StartTag();
    const std::string_view rest = s_.substr(at_);
    if (rest.starts_with("<?")) return !IsDeclaration(rest) && Skip("?>");  // only at the start
    if (rest.starts_with("<!--")) return Skip("-->");
    if (rest.starts_with("<![CDATA[")) return !stack_.empty() && Skip("]]>");
    return false;
  }

  bool Skip(std::string_view terminator) {
    const std::size_t end = s_.find(terminator, at_);
    if (end == std::string_view::npos) return false;
    at_ = end + terminator.size();
    return true;
  }

  std::string_view Name() {
    const std::size_t begin = at_;
    if (at_ < s_.size() &&
        ((s_[at_] >= '0' && s_[at_] <= '9') || s_[at_] == '-' || s_[at_] == '.')) {
      return {};
    }
    while (at_ < s_.size() && IsNameChar(s_[at_])) ++at_;
    return s_.substr(begin, at_ - begin);
  }

  void SkipSpace() {
    while (at_ < s_.size() && IsSpace(s_[at_])) ++at_;
  }

  bool EndTag() {
    at_ += 2;
    const std::string_view name = Name();
    SkipSpace();
    if (at_ >= s_.size() || s_[at_] != '>' || stack_.empty() || stack_.back().name != name) {
      return false;
    }
    ++at_;
    const Role role = stack_.back().role;
    stack_.pop_back();
    return Close(role);
  }

  bool StartTag() {
    ++at_;
    const std::string_view name = Name();
    if (name.empty()) return false;
    if (stack_.empty() && root_seen_) return false;  // a second root
    const Role role = RoleOf(name);
    std::string_view r, t, s;
    bool empty = false;
    for (;;) {
      const std::size_t before = at_;
      SkipSpace();
      if (at_ >= s_.size()) return false;
      if (s_[at_] == '>') {
        ++at_;
        break;
      }
      if (s_[at_] == '/') {
        if (at_ + 1 >= s_.size() || s_[at_ + 1] != '>') return false;
        at_ += 2;
        empty = true;
        break;
      }
      if (at_ == before) return false;  // attributes are apart
      const std::string_view attr = Name();
      if (attr.empty()) return false;
      SkipSpace();
      if (at_ >= s_.size() || s_[at_] != '=') return false;
      ++at_;
      SkipSpace();
      if (at_ >= s_.size() || (s_[at_] != '"' && s_[at_] != '\'')) return false;
      // One look at each character of the value: values are short, and there is one per
      // attribute of every cell.
      const char quote = s_[at_];
      bool plain = true;  // no reference, nor blanks the parser would normalise
      std::size_t end = at_ + 1;
      for (; end < s_.size() && s_[end] != quote; ++end) {
        const char c = s_[end];
        if (c == '<') return false;
        if (c == '&' || c == '\t' || c == '\n' || c == '\r') plain = false;
      }
      if (end >= s_.size()) return false;
      const std::string_view value = s_.substr(at_ + 1, end - at_ - 1);
      at_ = end + 1;
      if (role == Role::kRow || role == Role::kCell) {
        std::string_view* slot = attr == "r" ? &r : attr == "t" ? &t : attr == "s" ? &s : nullptr;
        if (slot != nullptr && slot->data() == nullptr) {
          if (!plain) return false;
          *slot = value;
        }
      }
    }
    if (!Begin(role, r, t, s)) return false;
    if (empty) return Close(role);
    stack_.push_back({name, role});
    if (role == Role::kValue || role == Role::kText) return Capture(role);
    return true;
  }

  Role RoleOf(std::string_view name) {
    if (stack_.empty()) return root_seen_ ? Role::kOther : Role::kRoot;
    const std::string_view local = Local(name);
    switch (stack_.back().role) {
      case Role::kRoot:
        return local == "sheetData" && !sheet_data_seen_ ? Role::kSheetData : Role::kOther;
      case Role::kSheetData:
        return local == "row" ? Role::kRow : Role::kOther;
      case Role::kRow:
        return local == "c" ? Role::kCell : Role::kOther;
      case Role::kCell:
        if (local == "v" && !v_seen_) return Role::kValue;
        if (local == "is" && !is_seen_) return Role::kInline;
        return Role::kOther;
      case Role::kInline:
        if (local == "t") return Role::kText;
        return local == "r" ? Role::kRun : Role::kOther;
      case Role::kRun:
        return local == "t" && !run_text_seen_ ? Role::kText : Role::kOther;
      default:
        return Role::kOther;
    }
  }

  bool Begin(Role role, std::string_view r, std::string_view t, std::string_view s) {
    switch (role) {
      case Role::kRoot:
        if (root_seen_) return false;
        root_seen_ = true;
        return true;
      case Role::kSheetData:
        sheet_data_seen_ = true;
        return true;
      case Role::kRow:
        if (r.data() != nullptr) {
          if (!ParseRowNumber(r, row_) || row_ <= last_row_) return false;
        } else if ((row_ = last_row_ + 1) > kMaxRow) {
          return false;
        }
        last_row_ = row_;
        last_column_ = 0;
        return true;
      case Role::kCell:
        return BeginCell(r, t, s);
      case Role::kValue:
        v_seen_ = true;
        cell_.pieces.has_v = true;
        cell_.pieces.v = {};
        return true;
      case Role::kInline:
        is_seen_ = true;
        cell_.pieces.has_is = true;
        runs_ = 0;
        joined_ = false;
        return true;
      case Role::kRun:
        run_text_seen_ = false;
        return true;
      case Role::kText:
        if (stack_.back().role == Role::kRun) run_text_seen_ = true;
        return true;
      case Role::kOther:
        return true;
    }
    return true;
  }

  bool BeginCell(std::string_view r, std::string_view t, std::string_view s) {
    cell_ = Cell();
    v_seen_ = is_seen_ = false;
    cell_.row = row_;
    if (r.data() == nullptr) {
      if ((cell_.column = last_column_ + 1) > kMaxColumn) return false;
    } else if (const int plain = PlainCellColumn(r, row_); plain > last_column_) {
      cell_.column = plain;  // nearly every reference, read without the general parser
    } else {
      const std::optional<CellRef> ref = ParseCell(r);
      if (!ref || ref->row != row_ || ref->column <= last_column_) return false;
      cell_.column = ref->column;
    }
    last_column_ = cell_.column;
    cell_.pieces.type = CellTypeOf(t);
    if (s.data() != nullptr && !ParseStyle(s, cell_.pieces.style)) return false;
    return true;
  }

  // Reads the text of a <v> or <t>, which must be all its content.
  bool Capture(Role role) {
    const std::size_t lt = s_.find('<', at_);
    if (lt == std::string_view::npos || lt + 1 >= s_.size() || s_[lt + 1] != '/') return false;
    std::string_view text = s_.substr(at_, lt - at_);
    at_ = lt;
    std::string decoded;
    bool owned = false;
    if (HasSpecial(text)) {
      if (!DecodeText(text, decoded) && !ParsedText(text, decoded)) return false;
      owned = true;
    }
    if (role == Role::kValue) {
      cell_.pieces.v = owned ? Keep(std::move(decoded)) : text;
      return true;
    }
    if (text.find("_x") != std::string_view::npos) {
      decoded = UnescapeText(owned ? std::string_view(decoded) : text);
      owned = true;
    }
    AddRun(owned ? std::string_view(decoded) : text, owned);
    return true;
  }

  // One <t> of an inline string: the first is kept as a view, later ones join it.
  void AddRun(std::string_view text, bool owned) {
    if (runs_++ == 0 && !owned) {
      run_view_ = text;
      joined_ = false;
      return;
    }
    if (!joined_) {
      run_buffer_.assign(runs_ == 1 ? std::string_view() : run_view_);
      joined_ = true;
    }
    run_buffer_ += text;
  }

  bool Close(Role role) {
    switch (role) {
      case Role::kInline:
        cell_.pieces.is_text = runs_ == 0 ? std::string_view()
                               : joined_  ? Keep(run_buffer_)
                                          : run_view_;
        return true;
      case Role::kCell:
        if (cell_.pieces.has_v || cell_.pieces.has_is) {
          t_.keys_.push_back(Key(cell_.row, cell_.column));
          t_.cells_.push_back(std::move(cell_));
        }
        return true;
      default:
        return true;
    }
  }

  std::string_view Keep(std::string text) { return t_.decoded_.emplace_back(std::move(text)); }

  SheetCells& t_;
  std::string_view s_;
  std::size_t at_ = 0;
  std::vector<Open> stack_;
  bool root_seen_ = false;
  bool sheet_data_seen_ = false;
  int row_ = 0, last_row_ = 0, last_column_ = 0;
  Cell cell_;
  bool v_seen_ = false, is_seen_ = false, run_text_seen_ = false;
  int runs_ = 0;
  bool joined_ = false;
  std::string_view run_view_;
  std::string run_buffer_;
};

std::unique_ptr<SheetCells> SheetCells::Scan(std::string bytes) {
  std::unique_ptr<SheetCells> table(new SheetCells(std::move(bytes)));
  if (!Pass(*table).Run()) return nullptr;
  // Readers also walk a column down the rows, where neither the hint nor a search over every
  // cell is quick; the first cell of each row makes that a short scan within one row.
  const std::vector<Cell>& cells = table->cells_;
  if (!cells.empty() && cells.back().row < kRowIndexLimit) {
    std::vector<std::uint32_t>& starts = table->row_start_;
    starts.assign(static_cast<std::size_t>(cells.back().row) + 2, 0);
    std::size_t at = 0;
    for (std::size_t row = 0; row < starts.size(); ++row) {
      while (at < cells.size() && static_cast<std::size_t>(cells[at].row) < row) ++at;
      starts[row] = static_cast<std::uint32_t>(at);
    }
  }
  // The index matrix and the check walk columns down a few hundred rows, a dozen of them per
  // sheet: each walk then touches only its column's cells.
  int widest = 0;
  for (const Cell& cell : cells) widest = std::max(widest, cell.column);
  if (!cells.empty()) {
    std::vector<std::uint32_t>& starts = table->column_start_;
    starts.assign(static_cast<std::size_t>(widest) + 2, 0);
    for (const Cell& cell : cells) ++starts[static_cast<std::size_t>(cell.column) + 1];
    for (std::size_t c = 1; c < starts.size(); ++c) starts[c] += starts[c - 1];
    std::vector<std::uint32_t> next(starts.begin(), starts.end() - 1);
    table->by_column_.resize(cells.size());
    // Cells come by rows, so each column's run stays in row order.
    for (std::size_t i = 0; i < cells.size(); ++i) {
      table->by_column_[next[static_cast<std::size_t>(cells[i].column)]++] =
          static_cast<std::uint32_t>(i);
    }
  }
  return table;
}

const SheetCells::Cell* SheetCells::Find(int row, int column) const {
  const std::uint64_t key = Key(row, column);
  if (!row_start_.empty()) {
    if (row < 1 || static_cast<std::size_t>(row) + 1 >= row_start_.size()) return nullptr;
    const auto first = keys_.begin() + row_start_[static_cast<std::size_t>(row)];
    const auto last = keys_.begin() + row_start_[static_cast<std::size_t>(row) + 1];
    auto it = std::find_if(first, last, [key](std::uint64_t k) { return k >= key; });
    if (it == last || *it != key) return nullptr;
    return &cells_[static_cast<std::size_t>(it - keys_.begin())];
  }
  // Readers walk a sheet row by row, left to right: the cell wanted is mostly the last one
  // found or a few after it, and a binary search would mispredict at every step.
  std::size_t at = hint_;
  if (at < keys_.size() && keys_[at] <= key) {
    for (const std::size_t stop = std::min(keys_.size(), at + 8); at < stop; ++at) {
      if (keys_[at] < key) continue;
      if (keys_[at] != key) return nullptr;
      hint_ = at;
      return &cells_[at];
    }
  }
  auto it = std::lower_bound(keys_.begin(), keys_.end(), key);
  if (it == keys_.end() || *it != key) return nullptr;
  hint_ = static_cast<std::size_t>(it - keys_.begin());
  return &cells_[hint_];
}

}  // namespace kastel::xlsx
