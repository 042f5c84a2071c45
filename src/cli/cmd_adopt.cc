// kastel adopt WORKBOOK --sql|--oracle|--postgres [--layout NAME=ROW,COL ...]: makes an existing
// workbook a definition workbook again: the mark "TEMPLATE" = "DB", the dialect "DB", the layout
// properties and the data-type lists with the name DATA_TYPE, all as the default template has
// them. For a workbook whose custom properties another program dropped on saving, or one made
// by hand. Layout properties the workbook still has are kept unless --layout names them.
#include <cstdint>
#include <map>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "addin/template_path.h"
#include "base/error.h"
#include "cli/command.h"
#include "cli/exit_status.h"
#include "model/defines.h"

namespace kastel::cli {
namespace {

using model::Defines;

// The type lists sit in B1:D32 of "@LIST" (a heading, then one type a row).
constexpr int kListRows = 32;
constexpr int kListFirstCol = 2;
constexpr int kListLastCol = 4;

struct Args {
  bool sql = false;
  bool oracle = false;
  bool postgres = false;
  std::string workbook;
  std::vector<std::string> layout;
  SessionOptions options;
};

const char* DbValue(const Args& args) {
  return args.oracle ? "ORA" : args.postgres ? "PGS" : "SQL";
}

// What the default template holds: its layout properties and its type lists.
struct TemplateParts {
  std::map<std::string, std::string> layout;
  std::vector<std::vector<Value>> lists;  // rows 1..32 of columns B..D
};

TemplateParts ReadTemplate(Session& session) {
  xlsx::XlsxApplication& app = session.app();
  host::Workbook& templ = app.Open(addin::TemplatePath(session.shell()));
  TemplateParts parts;
  for (const model::LayoutParam& param : model::kLayoutParams) {
    parts.layout[std::string(param.property)] = Defines::GetDocProperty(templ, param.property);
  }
  host::Worksheet& list = templ.Worksheets(model::kTypeListSheet);
  for (int row = 1; row <= kListRows; ++row) {
    std::vector<Value>& cells = parts.lists.emplace_back();
    for (int col = kListFirstCol; col <= kListLastCol; ++col) cells.push_back(list.Cell(row, col));
  }
  app.Close(templ);
  return parts;
}

// "NAME=ROW,COL" with NAME a layout property and both numbers in 1..32767; "" when not.
std::string LayoutProperty(const std::string& given, std::string& value) {
  const std::size_t eq = given.find('=');
  if (eq == std::string::npos) return "";
  const std::string name = given.substr(0, eq);
  bool known = false;
  for (const model::LayoutParam& param : model::kLayoutParams) known |= param.property == name;
  value = given.substr(eq + 1);
  const std::size_t comma = value.find(',');
  if (!known || comma == std::string::npos) return "";
  for (const std::string& part : {value.substr(0, comma), value.substr(comma + 1)}) {
    if (part.empty() || part.size() > 5 ||
        part.find_first_not_of("0123456789") != std::string::npos)
      return "";
    const long n = std::stol(part);
    if (n < 1 || n > 32767) return "";
  }
  return name;
}

// The sheet "@LIST", made from a copy of the first sheet with its values removed when the
// workbook has none (the host makes sheets only by copying).
host::Worksheet& TypeListSheet(host::Workbook& wb) {
  for (int i = 1; i <= wb.WorksheetCount(); ++i) {
    if (wb.Worksheets(i).Name() == model::kTypeListSheet) return wb.Worksheets(i);
  }
  host::Worksheet& last = wb.Worksheets(wb.WorksheetCount());
  last.Copy(last);
  host::Worksheet& copy = wb.Worksheets(wb.WorksheetCount() - 1);
  copy.ClearContents("A1:XFD1048576");
  copy.SetName(model::kTypeListSheet);
  copy.SetVisible(false);
  return copy;
}

int RunAdopt(CommandContext& ctx, const Args& args) {
  std::map<std::string, std::string> given;
  for (const std::string& item : args.layout) {
    std::string value;
    const std::string name = LayoutProperty(item, value);
    if (name.empty()) {
      ctx.err << "kastel: --layout " << item
              << " は正しくありません。NAME=ROW,COL の形で、NAME は TABLE_NAME などのレイアウトの"
                 "プロパティ名、ROW と COL は 1 から 32767 の整数です。\n";
      return kExitUsage;
    }
    given[name] = value;
  }
  Session session(args.options, ctx.out, ctx.err, ctx.in);
  if (!session.ok()) return session.Status();
  TemplateParts parts;
  try {
    parts = ReadTemplate(session);
  } catch (const Error& e) {
    ctx.err << "kastel: テンプレートを読めません: " << e.description() << '\n';
    return kExitFailure;
  }
  host::Workbook* wb = session.OpenWorkbook(args.workbook, /*will_save=*/true);
  if (wb == nullptr) {
    session.SaveIfRanToEnd(nullptr, args.workbook);
    return session.Status();
  }
  int written = 0;
  try {
    Defines::SetDocProperty(*wb, "TEMPLATE", "DB");
    Defines::SetDocProperty(*wb, "DB", DbValue(args));
    for (const model::LayoutParam& param : model::kLayoutParams) {
      const std::string name(param.property);
      if (auto it = given.find(name); it != given.end()) {
        Defines::SetDocProperty(*wb, name, it->second);
      } else if (!Defines::DocPropertyExists(*wb, name)) {
        Defines::SetDocProperty(*wb, name, parts.layout[name]);
      } else {
        continue;
      }
      ++written;
    }
    host::Worksheet& list = TypeListSheet(*wb);
    for (int row = 1; row <= kListRows; ++row) {
      for (int col = kListFirstCol; col <= kListLastCol; ++col) {
        list.SetCell(row, col, parts.lists[row - 1][col - kListFirstCol]);
      }
    }
    // The name must exist before the list of the dialect can replace it.
    wb->WorkbookNames().AddR1C1(model::kDataTypeName, "='@LIST'!R2C2:R28C2");
    Defines::SetDataTypeList(*wb);
  } catch (const Error& e) {
    ctx.err << "kastel: " << e.description() << '\n';
    session.SaveIfRanToEnd(nullptr, args.workbook);
    return kExitFailure;
  }
  session.SaveIfRanToEnd(wb, args.workbook,
                         std::string("TEMPLATE, DB (") + DbValue(args) +
                             "), レイアウトのプロパティ " + std::to_string(written) +
                             " 件とデータ型一覧を書き込みました。");
  return session.Status();
}

}  // namespace

void AddAdoptCommand(CLI::App& app, CommandContext& ctx) {
  auto args = std::make_shared<Args>();
  CLI::App* cmd = NewCommand(
      app, "adopt",
      "既存のブックにテーブル定義書の文書プロパティ (TEMPLATE, DB, レイアウト) とデータ型一覧を"
      "書き込み、保存します");
  cmd->add_option("WORKBOOK", args->workbook, "ブック (.xlsx/.xlsm)")
      ->required()
      ->type_name("ブック");
  CLI::Option* sql = cmd->add_flag("--sql", args->sql, "SQL Server 用にします");
  CLI::Option* ora = cmd->add_flag("--oracle", args->oracle, "Oracle 用にします");
  CLI::Option* pgs = cmd->add_flag("--postgres", args->postgres, "PostgreSQL 用にします");
  sql->excludes(ora)->excludes(pgs);
  ora->excludes(sql)->excludes(pgs);
  pgs->excludes(sql)->excludes(ora);
  cmd->add_option("--layout", args->layout,
                  "レイアウトの位置 NAME=ROW,COL (例: TABLE_NAME=4,3)。何度でも指定できます。"
                  "指定のないものはブックにあればそのまま、なければテンプレートの位置")
      ->type_name("NAME=ROW,COL");
  AddSaveOptions(*cmd, args->options);
  AddTemplateOption(*cmd, args->options);
  cmd->callback([&ctx, args] {
    if (!args->sql && !args->oracle && !args->postgres) {
      ctx.err << "kastel: --sql、--oracle、--postgres のどれかを指定して下さい。\n使い方: "
              << "kastel adopt WORKBOOK --sql|--oracle|--postgres [--layout NAME=ROW,COL ...]\n";
      ctx.status = kExitUsage;
      return;
    }
    ctx.status = RunAdopt(ctx, *args);
  });
}

}  // namespace kastel::cli
