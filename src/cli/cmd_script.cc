// kastel script WORKBOOK [-o DIR] [--encoding cp932|utf-8] [--crlf]: presses 「スクリプト出力」 and
// writes table.sql, index.sql and comment.sql. The workbook is never saved: script output changes
// nothing in it.
#include <memory>
#include <optional>
#include <string>

#include "cli/command.h"
#include "util/stream_writer.h"

namespace kastel::cli {

void AddScriptCommand(CLI::App& app, CommandContext& ctx) {
  struct Args {
    std::string workbook;
    std::string encoding;  // "": the dialect's own
    bool crlf = false;
    SessionOptions options;
  };
  auto args = std::make_shared<Args>();
  CLI::App* cmd =
      NewCommand(app, "script",
                 "定義シートから table.sql, index.sql, comment.sql を書き出します "
                 "(SQL Server、Oracle または PostgreSQL、ブックの DB プロパティによる)");
  cmd->add_option("WORKBOOK", args->workbook, "テーブル定義書のブック (.xlsx/.xlsm)")
      ->required()
      ->type_name("ブック");
  cmd->add_option(
         "-o,--output", args->options.output_folder,
         "出力先フォルダ (省略時は環境変数 KASTEL_OUTPUT_FOLDER、それも無ければ端末で尋ねます。"
         "端末でなければ現在のフォルダ)")
      ->type_name("フォルダ");
  cmd->add_option("--encoding", args->encoding,
                  "スクリプトの文字コード: cp932 (Shift_JIS に無い文字は ?) か utf-8 "
                  "(既定は SQL Server と Oracle が cp932、PostgreSQL が utf-8)")
      ->check(CLI::IsMember({"cp932", "utf-8"}))
      ->type_name("文字コード");
  cmd->add_flag("--crlf", args->crlf,
                "PostgreSQL のスクリプトも行末を CR LF にします (既定は LF。他は常に CR LF)");
  cmd->callback([&ctx, args] {
    Session session(args->options, ctx.out, ctx.err, ctx.in);
    if (!session.ok()) {
      ctx.status = session.Status();
      return;
    }
    if (session.OpenWorkbook(args->workbook, /*will_save=*/false) == nullptr) {
      ctx.status = session.Status();
      return;
    }
    if (addin::Connect* kastel = session.kastel()) {
      if (!args->encoding.empty()) {
        kastel->engine_context().encoding =
            args->encoding == "utf-8" ? TextEncoding::kUtf8 : TextEncoding::kCp932;
      }
      kastel->engine_context().crlf = args->crlf;
    }
    session.Press({"スクリプト出力"});
    ctx.status = session.Status();
  });
}

}  // namespace kastel::cli
