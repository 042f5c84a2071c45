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

// Character classes looked up rather than worked out: every byte of a part passes through one
// of them. The NUL that ends a std::string stops every class, so the loops need no bounds.
enum : std::uint8_t {
  kNameChar = 1,   // in a tag or attribute name
  kSpace = 2,      // blank between names
  kValueStop = 4,  // ends or complicates an attribute value: quotes, <, &, tab, line breaks
  kTextStop = 8,   // ends or complicates a value's text: <, &, carriage return, _ (of _xHHHH_)
};
constexpr std::array<std::uint8_t, 256> kClass = [] {
  std::array<std::uint8_t, 256> table{};
  for (int c = 0; c < 256; ++c) {
    std::uint8_t k = 0;
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
        c == ':' || c == '-' || c == '.' || c >= 0x80) {
      k |= kNameChar;
    }
    if (c == ' ' || c == '\t' || c == '\n' || c == '\r') k |= kSpace;
    if (c == '"' || c == '\'' || c == '<' || c == '&' || c == '\t' || c == '\n' || c == '\r' ||
        c == 0) {
      k |= kValueStop;
    }
    if (c == '<' || c == '&' || c == '\r' || c == '_' || c == 0) k |= kTextStop;
    table[static_cast<std::size_t>(c)] = k;
  }
  return table;
}();

bool Is(char c, std::uint8_t k) { return (kClass[static_cast<unsigned char>(c)] & k) != 0; }
bool IsSpace(char c) { return Is(c, kSpace); }

const char* SkipSpace(const char* p) {
  while (Is(*p, kSpace)) ++p;
  return p;
}

// A name that starts at `p`, as the parser reads one; empty when none starts there.
std::string_view NameAt(const char* p) {
  if ((*p >= '0' && *p <= '9') || *p == '-' || *p == '.') return {};
  const char* end = p;
  while (Is(*end, kNameChar)) ++end;
  return {p, static_cast<std::size_t>(end - p)};
}

// Names are a few characters: a loop beats a call to memchr for each tag.
std::string_view Local(std::string_view name) {
  for (std::size_t i = 0; i < name.size(); ++i) {
    if (name[i] == ':') return name.substr(i + 1);
  }
  return name;
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

// The reference at the start of `text` ("&amp;", "&#12486;", "&#x41;"): its length, and the
// character written at `out`; 0 for anything else, which the parser then decodes. No character
// is longer than its reference.
std::size_t Reference(std::string_view text, char*& out) {
  static constexpr std::pair<std::string_view, char> kNamed[] = {
      {"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}, {"&apos;", '\''}};
  // Writers that keep to ASCII give every other character as a numeric reference: those first.
  if (text.size() < 2 || text[1] != '#') {
    for (const auto& [name, c] : kNamed) {
      if (text.starts_with(name)) {
        *out++ = c;
        return name.size();
      }
    }
    return 0;
  }
  const bool hex = text.size() > 2 && text[2] == 'x';
  const std::size_t first = hex ? 3 : 2;
  const std::size_t most = hex ? 6 : 7;  // digits; more than U+10FFFF needs
  std::uint32_t c = 0;
  std::size_t at = first;
  for (; at < text.size() && at - first <= most; ++at) {
    const char d = text[at];
    unsigned digit;
    if (d >= '0' && d <= '9') {
      digit = static_cast<unsigned>(d - '0');
    } else if (hex && d >= 'a' && d <= 'f') {
      digit = static_cast<unsigned>(d - 'a' + 10);
    } else if (hex && d >= 'A' && d <= 'F') {
      digit = static_cast<unsigned>(d - 'A' + 10);
    } else {
      break;
    }
    c = c * (hex ? 16 : 10) + digit;
  }
  if (at == first || at - first > most || at >= text.size() || text[at] != ';' || c == 0 ||
      c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
    return 0;
  }
  out = PutUtf8(out, c);
  return at + 1;
}

// Text with references decoded as the parser does; false when it holds anything but the
// plain references.
bool DecodeText(std::string_view raw, std::string& out) {
  out.resize(raw.size());  // decoding only shortens
  char* o = out.data();
  for (std::size_t at = 0; at < raw.size();) {
    const char c = raw[at];
    if (c == '\r') return false;
    if (c != '&') {
      *o++ = c;
      ++at;
      continue;
    }
    const std::size_t used = Reference(raw.substr(at), o);
    if (used == 0) return false;
    at += used;
  }
  out.resize(static_cast<std::size_t>(o - out.data()));
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

}  // namespace

// Walks the part by pointer: the text ends in the NUL of its std::string, and a part with any
// other NUL is left to the DOM, so a NUL seen always means the end.
class SheetCells::Pass {
 public:
  explicit Pass(SheetCells& table)
      : t_(table), s_(table.bytes_), p_(s_.data()), end_(s_.data() + s_.size()) {}

  bool Run() {
    if (std::memchr(s_.data(), '\0', s_.size()) != nullptr) return false;
    if (s_.starts_with("\xEF\xBB\xBF")) p_ += 3;
    if (IsDeclaration(Rest())) {
      const std::size_t end = Rest().find("?>");
      const std::string_view declaration = Rest().substr(0, end);
      if (end == std::string_view::npos || !DeclaresUtf8(declaration) ||
          declaration.find("<!DOCTYPE") != std::string_view::npos) {
        return false;
      }
      p_ += end + 2;
    }
    stack_.reserve(16);
    for (;;) {
      if (*p_ != '<') {
        const char* lt =
            static_cast<const char*>(std::memchr(p_, '<', static_cast<std::size_t>(end_ - p_)));
        if (stack_.empty() && !std::all_of(p_, lt ? lt : end_, IsSpace)) return false;
        if (lt == nullptr) break;
        p_ = lt;
      }
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

  std::string_view Rest() const { return {p_, static_cast<std::size_t>(end_ - p_)}; }

  bool Markup() {
    // Tags are nearly all there is: tell them by the character after "<" first.
    const char next = p_[1];
    if (next == '/') return EndTag();
    if (next != '?' && next != '!') return StartTag();
    const std::string_view rest = Rest();
    if (rest.starts_with("<?")) return !IsDeclaration(rest) && Skip("?>");  // only at the start
    if (rest.starts_with("<!--")) return Skip("-->");
    if (rest.starts_with("<![CDATA[")) return !stack_.empty() && Skip("]]>");
    return false;  // a DOCTYPE among them: the DOM refuses it
  }

  // Skips a comment, instruction or CDATA section, which could hide a DOCTYPE that the DOM
  // refuses wherever it stands.
  bool Skip(std::string_view terminator) {
    const std::size_t end = Rest().find(terminator);
    if (end == std::string_view::npos) return false;
    const std::string_view skipped = Rest().substr(0, end);
    if (skipped.find("<!DOCTYPE") != std::string_view::npos) return false;
    p_ += end + terminator.size();
    return true;
  }

  bool EndTag() {
    if (stack_.empty()) return false;
    // The name must be the open element's, and end there.
    const std::string_view open = stack_.back().name;
    const char* p = p_ + 2;
    for (char c : open) {
      if (*p != c) return false;  // the NUL at the end differs from every name character
      ++p;
    }
    if (Is(*p, kNameChar)) return false;
    p = SkipSpace(p);
    if (*p != '>') return false;
    p_ = p + 1;
    const Role role = stack_.back().role;
    stack_.pop_back();
    return Close(role);
  }

  bool StartTag() {
    const std::string_view name = NameAt(p_ + 1);
    if (name.empty()) return false;
    if (stack_.empty() && root_seen_) return false;  // a second root
    const Role role = RoleOf(name);
    const bool wanted = role == Role::kRow || role == Role::kCell;
    std::string_view r, t, s;
    bool empty = false;
    const char* p = name.data() + name.size();
    for (;;) {
      const char* before = p;
      p = SkipSpace(p);
      if (*p == '>') {
        ++p;
        break;
      }
      if (*p == '/') {
        if (p[1] != '>') return false;
        p += 2;
        empty = true;
        break;
      }
      if (p == before) return false;  // attributes are apart; also the end of the text
      const std::string_view attr = NameAt(p);
      if (attr.empty()) return false;
      p = SkipSpace(p + attr.size());
      if (*p != '=') return false;
      p = SkipSpace(p + 1);
      const char quote = *p;
      if (quote != '"' && quote != '\'') return false;
      // One look at each character of the value: there is one per attribute of every cell.
      bool plain = true;  // no reference, nor blanks the parser would normalise
      const char* value = ++p;
      for (;; ++p) {
        while (!Is(*p, kValueStop)) ++p;
        if (*p == quote) break;
        if (*p == '\0' || *p == '<') return false;
        if (*p != '"' && *p != '\'') plain = false;
      }
      if (wanted && attr.size() == 1) {
        std::string_view* slot = attr[0] == 'r'   ? &r
                                 : attr[0] == 't' ? &t
                                 : attr[0] == 's' ? &s
                                                  : nullptr;
        if (slot != nullptr && slot->data() == nullptr) {
          if (!plain) return false;
          *slot = {value, static_cast<std::size_t>(p - value)};
        }
      }
      ++p;
    }
    p_ = p;
    if (!Begin(role, r, t, s)) return false;
    if (empty) return Close(role);
    stack_.push_back({name, role});
    if (role == Role::kValue || role == Role::kText) return Capture(role);
    return true;
  }

  [[gnu::always_inline]] Role RoleOf(std::string_view name) {
    if (stack_.empty()) return Role::kRoot;  // a second root was refused before
    const std::string_view local = Local(name);
    const char first = local.empty() ? '\0' : local[0];
    const std::size_t size = local.size();
    switch (stack_.back().role) {
      case Role::kRoot:
        return local == "sheetData" && !sheet_data_seen_ ? Role::kSheetData : Role::kOther;
      case Role::kSheetData:
        return local == "row" ? Role::kRow : Role::kOther;
      case Role::kRow:
        return size == 1 && first == 'c' ? Role::kCell : Role::kOther;
      case Role::kCell:
        if (size == 1 && first == 'v' && !v_seen_) return Role::kValue;
        if (local == "is" && !is_seen_) return Role::kInline;
        return Role::kOther;
      case Role::kInline:
        if (size == 1 && first == 't') return Role::kText;
        return size == 1 && first == 'r' ? Role::kRun : Role::kOther;
      case Role::kRun:
        return size == 1 && first == 't' && !run_text_seen_ ? Role::kText : Role::kOther;
      default:
        return Role::kOther;
    }
  }

  [[gnu::always_inline]] bool Begin(Role role, std::string_view r, std::string_view t,
                                    std::string_view s) {
    switch (role) {
      case Role::kRoot:
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

  [[gnu::always_inline]] bool BeginCell(std::string_view r, std::string_view t,
                                        std::string_view s) {
    cell_ = Cell();
    v_seen_ = is_seen_ = false;
    cell_.row = row_;
    if (r.data() == nullptr) {
      if ((cell_.column = last_column_ + 1) > kMaxColumn) return false;
    } else if ((cell_.column = CellColumnInRow(r, row_, last_column_)) == 0) {
      return false;
    }
    last_column_ = cell_.column;
    cell_.pieces.type = CellTypeOf(t);
    if (s.data() != nullptr && !ParseStyle(s, cell_.pieces.style)) return false;
    return true;
  }

  // Reads the text of a <v> or <t>, which must be all its content.
  bool Capture(Role role) {
    bool special = false;  // a reference or a carriage return
    bool escaped = false;  // "_x", which may begin an _xHHHH_ escape
    const char* p = p_;
    for (;; ++p) {
      while (!Is(*p, kTextStop)) ++p;
      if (*p == '<' || *p == '\0') break;
      if (*p != '_') {
        special = true;
      } else if (p[1] == 'x') {
        escaped = true;
      }
    }
    if (*p != '<' || p[1] != '/') return false;
    std::string_view text(p_, static_cast<std::size_t>(p - p_));
    p_ = p;
    if (special) {
      if (!DecodeText(text, scratch_) && !ParsedText(text, scratch_)) return false;
      text = scratch_;
      escaped = text.find("_x") != std::string_view::npos;  // a reference may have made one
    }
    if (role == Role::kValue) {
      cell_.pieces.v = special ? Keep(text) : text;
      return true;
    }
    if (escaped) {
      scratch_ = UnescapeText(text);
      text = scratch_;
      special = true;
    }
    AddRun(text, special);
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

  [[gnu::always_inline]] bool Close(Role role) {
    switch (role) {
      case Role::kInline:
        cell_.pieces.is_text = runs_ == 0 ? std::string_view()
                               : joined_  ? Keep(run_buffer_)
                                          : run_view_;
        return true;
      case Role::kCell:
        if (cell_.pieces.has_v || cell_.pieces.has_is) {
          t_.keys_.push_back(Key(cell_.row, cell_.column));
          t_.cells_.push_back(cell_);
        }
        return true;
      default:
        return true;
    }
  }

  // A copy of `text` that lives as long as the table. Texts are packed into blocks that never
  // grow past what they reserved, so the views already handed out stay valid.
  std::string_view Keep(std::string_view text) {
    std::deque<std::string>& blocks = t_.decoded_;
    if (blocks.empty() || blocks.back().capacity() - blocks.back().size() < text.size()) {
      const std::size_t last = blocks.empty() ? kBlock / 2 : blocks.back().capacity();
      blocks.emplace_back().reserve(std::max(text.size(), 2 * last));
    }
    std::string& block = blocks.back();
    const std::size_t at = block.size();
    block.append(text);
    return {block.data() + at, text.size()};
  }
  static constexpr std::size_t kBlock = 512;  // the first block; each next one doubles

  SheetCells& t_;
  std::string_view s_;
  const char* p_;
  const char* end_;
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
  std::string scratch_;  // decoded text on its way to Keep
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
