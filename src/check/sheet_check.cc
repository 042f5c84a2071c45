#include "sheet_check.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <utility>

#include "base/cp932.h"
#include "base/error.h"
#include "base/vb.h"
#include "engines/sheet_reader.h"
#include "model/defines.h"

namespace kastel::check {
namespace {

constexpr const char* kStops = "スクリプト出力はこのシートで止まり、これより後は書かれません";
constexpr const char* kRejected = "そのまま書かれ、データベースが文を拒みます";

std::string Quote(std::string_view text) { return "「" + std::string(text) + "」"; }

// The characters of `text` that CP932 cannot hold, each once, in order.
std::string Unencodable(std::string_view text) {
  if (cp932::Holds(text)) return "";
  std::string bad;
  for (std::size_t i = 0; i < text.size();) {
    std::size_t len = 1;
    const unsigned char lead = static_cast<unsigned char>(text[i]);
    if (lead >= 0xF0) {
      len = 4;
    } else if (lead >= 0xE0) {
      len = 3;
    } else if (lead >= 0xC0) {
      len = 2;
    }
    const std::string_view ch = text.substr(i, len);
    if (lead >= 0x80 && cp932::Encode(ch) == "?" && bad.find(ch) == std::string::npos) {
      bad += ch;
    }
    i += len;
  }
  return bad;
}

}  // namespace

std::string BaseTypeName(std::string_view type) {
  std::string base;
  int depth = 0;
  for (char c : type) {
    if (c == '(') {
      ++depth;
    } else if (c == ')') {
      if (depth > 0) --depth;
    } else if (depth == 0) {
      const bool blank = c == ' ' || c == '\t';
      if (blank && (base.empty() || base.back() == ' ')) continue;
      base += blank ? ' ' : static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    }
  }
  while (!base.empty() && base.back() == ' ') base.pop_back();
  return base;
}

void SheetCheck::Add(Severity severity, std::int32_t row, std::int32_t col, std::string what,
                     std::string effect) {
  out_.push_back(Finding{severity, ws_.Name(), table_,
                         model::Defines::ColumnLetter(col) + std::to_string(row), std::move(what),
                         std::move(effect)});
}

std::string SheetCheck::Read(std::int32_t row, std::int32_t col) {
  Value value = ws_.Cell(row, col);
  if (value.kind() != Value::Kind::kError) return ctx_.defines.CStrEx(std::move(value));
  const std::string a1 = model::Defines::ColumnLetter(col) + std::to_string(row);
  if (flagged_cells_.insert(a1).second) {
    Add(Severity::kError, row, col, "セルがエラー値 " + value.error() + " です",
        "空として読まれ、スクリプト出力は失敗を表示します");
    out_.back().shown = true;
  }
  return "";
}

void SheetCheck::CheckText(std::int32_t row, std::int32_t col, std::string_view text, Use use,
                           bool literal) {
  // One look at each byte clears nearly every text, a short name or type in ASCII alone.
  bool line_break = false, apostrophe = false, ascii = true;
  for (const char c : text) {
    line_break |= c == '\r' || c == '\n';
    apostrophe |= c == '\'';
    ascii &= (static_cast<unsigned char>(c) & 0x80) == 0;
  }
  if (!line_break && !apostrophe && ascii) return;
  // The PostgreSQL script doubles every apostrophe and writes a line break as an escape in an
  // E'' literal, and its heading line takes the break as a blank: only names are at risk there.
  const bool escapes = ctx_.rules.name == "PostgreSQL";
  if (use != Use::kPlain && !(escapes && use != Use::kName) && line_break) {
    Add(Severity::kError, row, col, "改行があります",
        use == Use::kTitle ? "見出しのコメント行 (-- …) が途切れ、改行より後が SQL として読まれます"
                           : "改行がそのまま文に書かれます");
  }
  if (literal && !escapes && apostrophe) {
    Add(Severity::kError, row, col, "' (アポストロフィ) があります",
        "文字列リテラルに二重にされずに書かれ、文字列がそこで閉じます");
  }
  if (ctx_.cp932 && !ascii) {
    if (const std::string bad = Unencodable(text); !bad.empty()) {
      Add(Severity::kError, row, col,
          "CP932 (Shift_JIS) で表せない文字 " + Quote(bad) + " があります",
          "スクリプトには ? として書かれます");
    }
  }
}

void SheetCheck::CheckName(std::int32_t row, std::int32_t col, std::string_view name,
                           bool reserved) {
  const DialectRules& rules = ctx_.rules;
  if (const std::size_t length = rules.Length(name); length > rules.max_identifier) {
    Add(Severity::kWarning, row, col,
        "名前 " + std::string(name) + " は " + std::to_string(length) +
            (rules.counts_bytes ? " バイト" : " 文字") + "で、" + rules.name + " の上限 " +
            std::to_string(rules.max_identifier) + (rules.counts_bytes ? " バイト" : " 文字") +
            "を超えます",
        kRejected);
  }
  if (reserved && rules.IsReserved(name)) {
    Add(Severity::kWarning, row, col,
        "名前 " + std::string(name) + " は " + rules.name + " の予約語です",
        // The PostgreSQL script quotes such a name, which then keeps its letter case.
        rules.name == "PostgreSQL"
            ? "二重引用符で囲んで書かれるため、大文字と小文字を区別する名前になります"
            : "引用符なしで書かれるため、データベースが文を拒みます");
  }
}

void SheetCheck::Run() {
  CheckTable();
  CheckColumns();
  CheckIndexes();
}

void SheetCheck::CheckTable() {
  const model::Layout& layout = ctx_.defines.layout();
  const model::LayoutPos name = layout.table_name;
  const bool error_value = ws_.Cell(name.row, name.col).kind() == Value::Kind::kError;
  table_ = Read(name.row, name.col);
  if (table_.empty()) {
    if (!error_value) {
      Add(Severity::kError, name.row, name.col, "テーブル名が空です",
          "名前のない DROP TABLE 文と CREATE TABLE 文が書かれます");
    }
  } else if (auto [seen, added] = ctx_.tables_seen.emplace(vb::UCase(table_), ws_.Name()); !added) {
    Add(Severity::kError, name.row, name.col,
        "テーブル名 " + table_ + " はシート" + Quote(seen->second) +
            "のテーブルと同じです (大文字と小文字は区別されません)",
        "このシートの文が先のテーブルを削除して作り直します");
  } else {
    CheckText(name.row, name.col, table_, Use::kName, true);
    CheckName(name.row, name.col, table_, true);
  }
  const model::LayoutPos title = layout.table_title;
  CheckText(title.row, title.col, Read(title.row, title.col), Use::kTitle, true);
}

void SheetCheck::CheckDataType(std::int32_t row, std::int32_t col, const std::string& type) {
  if (type.empty()) {
    if (ws_.Cell(row, col).kind() != Value::Kind::kError) {
      Add(Severity::kError, row, col, "データ型が空です", "データ型のない列定義が書かれます");
    }
    return;
  }
  const std::string base = BaseTypeName(type);
  if (ctx_.types && !ctx_.types->contains(base)) {
    Add(Severity::kError, row, col,
        "データ型 " + type + " (型名 " + base + ") はブックのデータ型一覧 (DATA_TYPE) にありません",
        kRejected);
  }
  CheckText(row, col, type, Use::kPlain, false);
}

void SheetCheck::CheckColumns() {
  const model::Layout& layout = ctx_.defines.layout();
  // The rows as the script's blocks have just read them, or read here.
  const bool known =
      read_ && read_->table && read_->comment && read_->table->size() == read_->comment->size();
  const std::vector<engines::ColumnRow> own =
      known ? std::vector<engines::ColumnRow>() : reader_.Columns(engines::kNameOnly);
  const std::vector<engines::ColumnRow>& columns = known ? *read_->table : own;
  using Field = std::string engines::ColumnRow::*;
  // A field as the blocks read it, or as read here into `slot`; not copied, as there are six
  // for every column of the workbook.
  auto field = [&](const engines::ColumnRow& c, Field member, std::int32_t col,
                   std::string& slot) -> const std::string& {
    if (!known) return slot = Read(c.row, col);
    // The comment block read the titles and comments, the table block the rest.
    const bool commented =
        member == &engines::ColumnRow::title || member == &engines::ColumnRow::comment;
    const auto at = static_cast<std::size_t>(&c - columns.data());
    return commented ? (*read_->comment)[at].*member : c.*member;
  };
  std::string name_slot, nullable_slot, slot;
  // The upper-case names met so far, sorted, with the row of each: a sheet has tens of columns,
  // where a sorted vector spares a hash table's allocation per name.
  std::vector<std::pair<std::string, std::int32_t>> first_row;
  first_row.reserve(columns.size());
  const std::int32_t name_col = layout.column_name.col;
  for (const engines::ColumnRow& c : columns) {
    const std::string& name = field(c, &engines::ColumnRow::name, name_col, name_slot);
    if (!name.empty()) {
      std::string upper = vb::UCase(name);
      const auto seen = std::lower_bound(first_row.begin(), first_row.end(), upper,
                                         [](const std::pair<std::string, std::int32_t>& e,
                                            const std::string& u) { return e.first < u; });
      if (seen != first_row.end() && seen->first == upper) {
        Add(Severity::kError, c.row, name_col,
            "列名 " + name + " は " + std::to_string(seen->second) + " 行目の列と同じです",
            "同じ名前の列が二つある CREATE TABLE 文が書かれます");
      } else {
        first_row.emplace(seen, std::move(upper), c.row);
        CheckText(c.row, name_col, name, Use::kName, true);
        CheckName(c.row, name_col, name, true);
      }
    }
    CheckText(c.row, layout.column_title.col,
              field(c, &engines::ColumnRow::title, layout.column_title.col, slot), Use::kTitle,
              true);
    CheckDataType(c.row, layout.data_type.col,
                  field(c, &engines::ColumnRow::data_type, layout.data_type.col, slot));
    const std::string& nullable =
        field(c, &engines::ColumnRow::nullable, layout.nullable.col, nullable_slot);
    nullable_marked_.push_back(!nullable.empty());
    if (!nullable.empty() && nullable != "否") {
      Add(Severity::kError, c.row, layout.nullable.col,
          "NULL 欄の" + Quote(nullable) + "は「否」でも空でもありません",
          "NULL を許す列 (NULL) として書かれます");
    }
    CheckText(c.row, layout.default_value.col,
              field(c, &engines::ColumnRow::default_value, layout.default_value.col, slot),
              Use::kPlain, false);
    CheckText(c.row, layout.column_comment.col,
              field(c, &engines::ColumnRow::comment, layout.column_comment.col, slot),
              Use::kComment, false);
  }
  // A gap in the column block ends it for the script; whatever stands below is lost.
  const std::int32_t end = layout.column_name.row + static_cast<std::int32_t>(columns.size());
  for (const std::int32_t row : ws_.FilledRows(name_col, end + 1, model::kLastColumnRow)) {
    if (ctx_.defines.IsEmptyEx(ws_.Cell(row, name_col))) continue;
    Add(Severity::kError, end, name_col,
        "列名が空ですが、" + std::to_string(row) + " 行目にも列があります",
        "列の並びはここで終わり、この行より下の列は書かれません");
    return;
  }
  if (columns.empty()) {
    Add(Severity::kError, end, name_col, "列が 1 つもありません",
        "列のない CREATE TABLE 文が書かれます");
  }
}

std::vector<std::pair<std::int32_t, std::string>> SheetCheck::CheckKeys(
    int index, const std::string& index_name, bool& reported) {
  const std::int32_t col = ctx_.defines.layout().index_column.col + index;
  using Slot = std::pair<std::int32_t, std::string>;  // row, column name
  std::array<Slot, engines::kKeySlots + 1> slots{};
  const std::string not_in = "この列は索引 " + index_name + " に入りません";
  for (const engines::KeyCell& cell : reader_.KeyCells(index)) {
    const Value& v = cell.value;
    if (v.kind() == Value::Kind::kError) {
      Read(cell.row, col);
      reported = true;
      continue;
    }
    if (!vb::IsNumeric(v)) {
      Add(Severity::kError, cell.row, col,
          "キー欄の" + Quote(ctx_.defines.CStrEx(v)) +
              "はキー位置 (1 から始まる整数) ではありません",
          not_in);
      reported = true;
      continue;
    }
    std::int16_t pos = 0;
    try {
      pos = vb::CInt(v);
    } catch (const Error&) {
      Add(Severity::kError, cell.row, col,
          "キー位置 " + ctx_.defines.CStrEx(v) + " は整数の範囲を超えています",
          std::string(kStops) + " (オーバーフローしました。)");
      out_.back().stops = true;
      reported = true;
      continue;
    }
    const double number =
        v.kind() == Value::Kind::kNumber ? v.number() : std::strtod(vb::Concat(v).c_str(), nullptr);
    if (v.kind() != Value::Kind::kBoolean && number != std::floor(number)) {
      Add(Severity::kError, cell.row, col,
          "キー位置 " + ctx_.defines.CStrEx(v) + " は整数ではありません",
          std::to_string(pos) + " 番目として読まれます");
      reported = true;
    }
    if (pos < 1 || pos > engines::kKeySlots) {
      Add(Severity::kError, cell.row, col,
          "キー位置 " + ctx_.defines.CStrEx(v) + " は 1 から " +
              std::to_string(engines::kKeySlots) + " の範囲にありません",
          std::string(kStops) + " (インデックスが有効範囲にありません。)");
      out_.back().stops = true;
      reported = true;
      continue;
    }
    Slot& slot = slots[static_cast<std::size_t>(pos)];
    if (slot.first != 0) {
      Add(Severity::kError, cell.row, col,
          "索引 " + index_name + " のキー位置 " + std::to_string(pos) + " は " +
              std::to_string(slot.first) + " 行目と重複しています",
          std::to_string(slot.first) + " 行目の列 " + slot.second + " は索引から外れます");
      reported = true;
    }
    slot = {cell.row, cell.column};
  }
  std::vector<Slot> listed;
  std::size_t i = 1;
  for (; i <= engines::kKeySlots && slots[i].first != 0; ++i) listed.push_back(slots[i]);
  for (std::size_t after = i + 1; after <= engines::kKeySlots; ++after) {
    if (slots[after].first == 0) continue;
    Add(Severity::kError, slots[after].first, col,
        "索引 " + index_name + " にキー位置 " + std::to_string(i) + " がありません",
        "キー位置 " + std::to_string(after) + " から後の列は索引に入りません");
    reported = true;
    break;
  }
  return listed;
}

void SheetCheck::CheckIndexes() {
  const model::Layout& layout = ctx_.defines.layout();
  const std::vector<engines::IndexRow> heads = reader_.IndexHeads();
  const std::int32_t name_col = layout.index_name.col;
  const std::int32_t type_col = layout.constraint_type.col;
  const auto count = static_cast<std::int32_t>(heads.size());
  if (count < model::kMaxIndexRows) {
    const std::int32_t gap = layout.index_name.row + count;
    // The cell that ended the walk may hold an error value, which reads as "".
    Read(gap, name_col);
    for (std::int32_t row = gap + 1; row < layout.index_name.row + model::kMaxIndexRows; ++row) {
      if (ctx_.defines.CStrEx(ws_.Cell(row, name_col)).empty()) continue;
      Add(Severity::kError, gap, name_col,
          "索引名が空ですが、" + std::to_string(row) + " 行目にも索引があります",
          "索引の並びはここで終わり、この行より下の索引は書かれません");
      break;
    }
  }
  std::string primary;
  std::map<std::string, std::string> definitions;  // key list -> index name
  for (std::int32_t i = 0; i < count; ++i) {
    const engines::IndexRow& x = heads[static_cast<std::size_t>(i)];
    CheckText(x.row, name_col, x.name, Use::kName, !ctx_.oracle_texts);
    CheckName(x.row, name_col, x.name, false);
    const std::string& type = x.constraint_type;
    if (!type.empty() && type != "P" && type != "U") {
      Add(Severity::kError, x.row, type_col,
          "種別" + Quote(type) + "は P (主キー)、U (一意)、空 (索引) のどれでもありません",
          "普通の索引 (CREATE INDEX) として書かれます");
    }
    if (type == "P" && !primary.empty()) {
      Add(Severity::kError, x.row, type_col, "主キーは索引 " + primary + " で既に決まっています",
          "二つ目の主キーはデータベースが拒みます");
    } else if (type == "P") {
      primary = x.name;
    }
    bool reported = false;
    const auto keys = CheckKeys(i, x.name, reported);
    if (keys.empty()) {
      if (!reported) {
        Add(Severity::kError, x.row, name_col, "索引 " + x.name + " にキー列がありません",
            "列のない " +
                std::string(type == "P"   ? "PRIMARY KEY()"
                            : type == "U" ? "UNIQUE()"
                                          : "()") +
                " が書かれます");
      }
      continue;
    }
    std::string list;
    for (const auto& [row, column] : keys) {
      list += (list.empty() ? "" : ", ") + column;
      const auto at = static_cast<std::size_t>(row - layout.column_name.row);
      if (type == "P" && !(at < nullable_marked_.size() && nullable_marked_[at])) {
        Add(Severity::kWarning, row, layout.nullable.col,
            "主キー " + x.name + " の列 " + column + " は NULL を許します",
            ctx_.rules.name == "PostgreSQL"
                ? "PostgreSQL のスクリプトでは NOT NULL として書かれます"
                : "SQL Server では主キーを作れず、Oracle では NOT NULL に変わります");
      }
    }
    if (auto [seen, added] = definitions.emplace(list, x.name); !added) {
      Add(Severity::kWarning, x.row, name_col,
          "索引 " + x.name + " は索引 " + seen->second + " と同じ列 (" + list + ") です",
          "同じ定義の索引が二つ作られます");
    }
  }
  if (primary.empty()) {
    Add(Severity::kWarning, layout.table_name.row, layout.table_name.col,
        "主キー (種別 P) の索引がありません", "主キーのないテーブルが作られます");
  }
  // Marks under an index that has no name are never read.
  for (std::int32_t i = count; i < model::kMaxIndexRows; ++i) {
    const std::int32_t col = layout.index_column.col + i;
    if (col == layout.column_comment.col || col == layout.column_title.col ||
        col == layout.data_type.col || col == layout.nullable.col ||
        col == layout.default_value.col || col == layout.column_name.col) {
      continue;
    }
    const std::vector<engines::KeyCell> cells = reader_.KeyCells(i);
    if (cells.empty()) continue;
    Add(Severity::kWarning, cells.front().row, col,
        "キー欄に印がありますが、" + std::to_string(i + 1) + " 番目の索引には名前がありません",
        "この列の印は使われません");
  }
}

}  // namespace kastel::check
