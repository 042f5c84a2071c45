#include "cli/session.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
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

// How long a second kastel waits for the first to finish saving into the same folder.
std::chrono::milliseconds LockPatience() {
  const char* text = std::getenv("KASTEL_LOCK_WAIT");
  if (text == nullptr || *text == '\0') return std::chrono::seconds(60);
  char* end = nullptr;
  const double seconds = std::strtod(text, &end);
  if (*end != '\0' || !(seconds >= 0) || seconds > 86400) return std::chrono::seconds(60);
  return std::chrono::milliseconds(static_cast<long long>(seconds * 1000));
}

// Why `path` cannot be a workbook, when what is there says so already; "" otherwise (it is a
// file, or missing, or the package reader will tell).
std::string NotAWorkbook(const std::string& path) {
  struct stat st;
  if (stat(path.c_str(), &st) != 0) {
    if (errno == ELOOP) return "シンボリックリンクが循環しています";
    return "";
  }
  if (S_ISDIR(st.st_mode)) return "ディレクトリです";
  if (S_ISFIFO(st.st_mode)) return "名前付きパイプ (FIFO) です";
  if (S_ISSOCK(st.st_mode)) return "ソケットです";
  if (S_ISCHR(st.st_mode) || S_ISBLK(st.st_mode)) return "デバイスです";
  return "";
}

}  // namespace

Session::Session(const SessionOptions& options, std::ostream& out, std::ostream& err,
                 std::istream& in)
    : options_(options),
      out_(out),
      err_(err),
      shell_(out, err, in, ::isatty(STDIN_FILENO) != 0 && ::isatty(STDERR_FILENO) != 0),
      app_(err) {
  if (options_.template_path) shell_.SetEnv("KASTEL_TEMPLATE", *options_.template_path);
  // The option goes before the environment, which answers where no option was given.
  if (options_.output_folder) {
    shell_.SetFolderAnswer(*options_.output_folder);
  } else if (auto folder = shell_.GetEnv("KASTEL_OUTPUT_FOLDER"); folder && !folder->empty()) {
    shell_.SetFolderAnswer(*folder);
  }
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
  if (const std::string what = NotAWorkbook(path); !what.empty()) {
    Refuse(Quoted(path) + " はブックではありません: " + what + "。");
    return nullptr;
  }
  if (!std::filesystem::is_regular_file(path, ec)) {
    Refuse("ブック " + Quoted(path) + " が見つかりません。");
    return nullptr;
  }
  if (will_save && !LockFolderOf(path)) return nullptr;
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
  if (!options_.force) {
    if (auto lock = FindLockFile(path)) {
      Refuse(Quoted(path) + " は表計算ソフトで開かれています (ロックファイル " +
             Quoted(lock->filename().string()) +
             ")。閉じてから実行するか、--force を指定して下さい。");
      return false;
    }
  }
  return LockFolderOf(path);
}

bool Session::LockFolderOf(const std::string& path) {
  const FolderLock::Result result = folder_lock_.Acquire(path, LockPatience(), [&] {
    err_ << "kastel: 同じフォルダーに別の kastel が保存しています。終わるのを待っています...\n";
  });
  if (result == FolderLock::Result::kBusy) {
    err_ << "kastel: 同じフォルダーに別の kastel が保存しているため、" << Quoted(path)
         << " を開けません。しばらくしてからやり直して下さい。\n";
    folder_busy_ = true;
    return false;
  }
  if (result == FolderLock::Result::kHeld) folder_lock_.RemoveStaleTemporaries(started_);
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

void Session::SaveIfRanToEnd(host::Workbook* wb, const std::string& path,
                             const std::string& summary) {
  const bool saved = wb != nullptr && Save(*wb, path);
  if (saved && !summary.empty()) out_ << summary << std::endl;
  err_ << (saved ? "保存しました: " : "保存していません: ") << path << '\n';
}

bool Session::Save(host::Workbook& wb, const std::string& path) {
  if (Status() != kExitOk && Status() != kExitWentPast) return false;
  const int stopped_before = StoppingFailures();
  if (!app_.RaiseBeforeSave(wb)) {
    err_ << "kastel: 保存は取り消されました。\n";
    save_failed_ = true;
    return false;
  }
  // The before-save event may itself have failed: then what it should have done is missing.
  if (StoppingFailures() != stopped_before) return false;
  try {
    app_.SaveAs(wb, path);
    return true;
  } catch (const Error& e) {
    err_ << "kastel: " << Quoted(path) << " に保存できません: " << e.description() << '\n';
    save_failed_ = true;
    return false;
  }
}

int Session::StoppingFailures() const {
  return kastel_ ? kastel_->defines().stopping_failures() : 0;
}

int Session::Status() const {
  if (StoppingFailures() > 0 || save_failed_ || folder_busy_) return kExitFailure;
  if (refused_) return kExitUsage;
  if (shell_.cancelled()) return kExitCancelled;
  if (kastel_ && kastel_->defines().failures_shown() > 0) return kExitWentPast;
  return kExitOk;
}

}  // namespace kastel::cli
