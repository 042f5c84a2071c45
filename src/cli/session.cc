#include "cli/session.h"

#include <unistd.h>

#include <filesystem>
#include <ostream>
#include <system_error>

#include "base/error.h"
#include "check/workbook_check.h"
#include "cli/addin_registry.h"
#include "cli/exit_status.h"
#include "cli/lock_file.h"

namespace kastel::cli {
namespace {

constexpr int kConnectAtStartup = 1;
constexpr int kRemoveAtShutdown = 0;

std::string Lower(std::string text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return text;
}

std::string Quoted(const std::string& path) { return "'" + path + "'"; }

}  // namespace

Session::Session(const SessionOptions& options, std::ostream& out, std::ostream& err,
                 std::istream& in)
    : options_(options),
      err_(err),
      shell_(out, err, in, ::isatty(STDIN_FILENO) != 0 && ::isatty(STDERR_FILENO) != 0),
      app_(err) {
  if (options_.template_path) shell_.SetEnv("KASTEL_TEMPLATE", *options_.template_path);
  if (options_.output_folder) shell_.SetFolderAnswer(*options_.output_folder);
  try {
    ConnectRegisteredAddIns();
  } catch (const Error& e) {
    Refuse("アドインを読み込めません: " + e.description());
  }
}

Session::~Session() {
  if (connected_) {
    try {
      app_.DisconnectAddIns(kRemoveAtShutdown);
    } catch (const Error&) {
      // The host is going away; nothing is left to tell.
    }
  }
}

void Session::ConnectRegisteredAddIns() {
  const AddInRegistry registry(AddInRegistry::DefaultFile());
  std::vector<AddInEntry> entries;
  if (!registry.Exists()) {
    // A fresh install has registered nothing yet and still works.
    entries.push_back(KastelEntry());
  } else {
    entries = registry.Load();
  }
  for (const AddInEntry& entry : entries) {
    if (entry.load_behavior != kLoadAtStartup) continue;
    if (entry.prog_id != addin::kProgId) {
      err_ << "アドイン '" << entry.prog_id << "' は見つからないため読み込みません。\n";
      continue;
    }
    kastel_ = std::make_unique<addin::Connect>(shell_);
    connected_ = true;
    app_.ConnectAddIn(*kastel_, kConnectAtStartup);
  }
}

void Session::Refuse(const std::string& message) {
  err_ << "kastel: " << message << '\n';
  refused_ = true;
}

host::Workbook* Session::OpenWorkbook(const std::string& path, bool will_save) {
  const std::string ext = Lower(std::filesystem::path(path).extension().string());
  std::error_code ec;
  if (ext == ".xls" || ext == ".xlt") {
    Refuse("ブック " + Quoted(path) +
           " は旧形式 (.xls/.xlt) のため開けません。次のコマンドで .xlsx に変換して下さい: "
           "soffice --headless --convert-to xlsx " +
           path);
    return nullptr;
  }
  if (!std::filesystem::is_regular_file(path, ec)) {
    Refuse("ブック " + Quoted(path) + " が見つかりません。");
    return nullptr;
  }
  if (will_save && !options_.force) {
    if (auto lock = FindLockFile(path)) {
      Refuse("ブック " + Quoted(path) + " は表計算ソフトで開かれています (ロックファイル " +
             Quoted(lock->filename().string()) +
             ")。閉じてから実行するか、--force を指定して下さい。");
      return nullptr;
    }
  }
  try {
    return &app_.Open(path);
  } catch (const Error& e) {
    // The adapter's description names the file and what is wrong with it.
    Refuse(e.description());
    return nullptr;
  }
}

bool Session::CheckNewFile(const std::string& path) {
  const std::filesystem::path file(path);
  std::error_code ec;
  const std::filesystem::path folder =
      file.parent_path().empty() ? std::filesystem::path(".") : file.parent_path();
  if (!std::filesystem::is_directory(folder, ec)) {
    Refuse("保存先のフォルダ " + Quoted(folder.string()) + " がありません。");
    return false;
  }
  if (std::filesystem::exists(file, ec) && !options_.force) {
    Refuse("ファイル " + Quoted(path) +
           " は既にあります。上書きするには --force を指定して下さい。");
    return false;
  }
  return true;
}

bool Session::Press(const std::vector<std::string>& captions) {
  std::shared_ptr<host::CommandBar> bar;
  for (const auto& candidate : app_.AllBars()) {
    if (candidate->Name() == addin::kBarName) bar = candidate;
  }
  if (!bar) {
    Refuse("コマンドバー KASTEL がありません。アドインを登録して下さい (kastel register)。");
    return false;
  }
  std::shared_ptr<host::CommandBarControl> button = xlsx::FindControl(*bar, captions);
  if (!button) {
    Refuse("ボタン「" + captions.back() + "」がありません。");
    return false;
  }
  if (!button->Enabled() || !app_.Press(*button)) {
    Refuse("ボタン「" + captions.back() +
           "」は無効です。このブックはテーブル定義書ではないため実行できません。" +
           MissingPropertyHint());
    return false;
  }
  // A layout property that is missing fails the command with the host's own error; say which.
  if (kastel_ && kastel_->defines().failures_shown() > 0) {
    if (const std::string hint = MissingPropertyHint(); !hint.empty()) {
      err_ << "kastel:" << hint << '\n';
    }
  }
  return true;
}

std::string Session::MissingPropertyHint() {
  host::Workbook* wb = app_.ActiveWorkbook();
  if (wb == nullptr) return "";
  const std::string missing = check::MissingProperty(*wb);
  if (missing.empty()) return "";
  const bool wrong_mark = missing == "TEMPLATE" && model::Defines::DocPropertyExists(*wb, missing);
  return " 文書プロパティ " + missing +
         (wrong_mark ? " が \"DB\" ではありません" : " がありません") + "。kastel adopt " +
         app_.PathOf(*wb) + " --sql (または --oracle) で書き込めます。";
}

void Session::SaveUnlessFailed(host::Workbook& wb, const std::string& path) {
  if (Status() != kExitOk) return;
  if (!app_.RaiseBeforeSave(wb)) {
    err_ << "kastel: 保存は取り消されました。\n";
    save_failed_ = true;
    return;
  }
  // The before-save event may itself have shown a failure.
  if (Status() != kExitOk) return;
  try {
    app_.SaveAs(wb, path);
  } catch (const Error& e) {
    err_ << "kastel: " << Quoted(path) << " に保存できません: " << e.description() << '\n';
    save_failed_ = true;
  }
}

int Session::Status() const {
  if (kastel_ && kastel_->defines().failures_shown() > 0) return kExitFailure;
  if (save_failed_) return kExitFailure;
  if (refused_) return kExitUsage;
  if (shell_.cancelled()) return kExitCancelled;
  return kExitOk;
}

}  // namespace kastel::cli
