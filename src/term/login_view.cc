#include "term/login_view.h"

#include <termios.h>
#include <unistd.h>

#include <cctype>
#include <istream>
#include <ostream>
#include <utility>

#include "base/error.h"
#include "base/signal_cleanup.h"

namespace kastel::term {
namespace {

using login::CloseMode;
using login::Control;
using login::ControlKind;
using login::Dialog;

// Turns the terminal's echo off for as long as it lives. A signal that ends the program
// meanwhile (Ctrl-C at the password prompt) gives the terminal back its echo on the way out.
class EchoOff {
 public:
  explicit EchoOff(int fd) : fd_(fd) {
    if (fd_ < 0 || !isatty(fd_) || tcgetattr(fd_, &saved_) != 0) {
      fd_ = -1;
      return;
    }
    restore_ = signal_cleanup::RestoreTerminalOnSignal(fd_, saved_);
    termios quiet = saved_;
    quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
    tcsetattr(fd_, TCSAFLUSH, &quiet);
  }
  ~EchoOff() {
    if (fd_ < 0) return;
    tcsetattr(fd_, TCSAFLUSH, &saved_);
    signal_cleanup::Withdraw(restore_);
  }
  EchoOff(const EchoOff&) = delete;
  EchoOff& operator=(const EchoOff&) = delete;

 private:
  int fd_;
  termios saved_{};
  signal_cleanup::Token restore_ = 0;
};

bool IsBlankLine(const std::string& s) { return s.find_first_not_of(" \t\r") == std::string::npos; }

std::string TrimLine(std::string s) {
  while (!s.empty() && (s.back() == '\r' || s.back() == ' ' || s.back() == '\t')) s.pop_back();
  std::size_t start = s.find_first_not_of(" \t");
  return start == std::string::npos ? "" : s.substr(start);
}

}  // namespace

std::string PlainCaption(const std::string& caption) {
  std::string out;
  for (std::size_t i = 0; i < caption.size(); ++i) {
    if (caption[i] != '&') {
      out += caption[i];
    } else if (i + 1 < caption.size() && caption[i + 1] == '&') {
      out += '&';
      ++i;
    }
  }
  // "(S)" left behind by "(&S)" names a key that only a window has.
  std::size_t open = out.find('(');
  while (open != std::string::npos) {
    if (open + 2 < out.size() && out[open + 2] == ')' &&
        std::isupper(static_cast<unsigned char>(out[open + 1]))) {
      out.erase(open, 3);
    } else {
      ++open;
    }
    open = out.find('(', open);
  }
  return out;
}

TermLoginView::TermLoginView(std::ostream& err, std::istream& in, bool interactive,
                             LoginAnswers answers, const Shell& shell, int tty_fd)
    : err_(err),
      in_(in),
      interactive_(interactive),
      answers_(std::move(answers)),
      shell_(shell),
      tty_fd_(tty_fd) {
  if (answers_.auth && *answers_.auth != "windows" && *answers_.auth != "sql") {
    throw Error(static_cast<long>(RuntimeError::kInvalidCall), "KASTEL",
                "認証には windows または sql を指定してください。");
  }
}

void TermLoginView::ShowModal(Dialog& dialog) {
  cancelled_ = false;
  Answer(dialog);
  if (interactive_) {
    Ask(dialog);
  } else {
    dialog.PressEnter();
  }
}

std::optional<std::string> TermLoginView::PasswordAnswer() {
  // A person's input is theirs to type the password into, not an answer given beforehand.
  if (!answers_.password_stdin || interactive_) return shell_.GetEnv("KASTEL_PASSWORD");
  if (!stdin_password_) {
    // A terminal on standard input is a person typing: asked for, and never echoed.
    const bool typed = tty_fd_ >= 0 && isatty(tty_fd_);
    if (typed) err_ << "パスワード: " << std::flush;
    std::optional<std::string> line = ReadLine(typed);
    if (!line) return std::nullopt;
    stdin_password_ = std::move(line);
  }
  return stdin_password_;
}

void TermLoginView::Answer(Dialog& dialog) {
  for (const Control& c : dialog.Controls()) {
    // A greyed field takes no answer, as nobody could type into it.
    if (!c.enabled) continue;
    if (c.name == "cmbDataSource" && answers_.server) {
      dialog.Type(c.name, *answers_.server);
    } else if (c.name == "cmbAuth" && answers_.auth) {
      dialog.Choose(c.name, *answers_.auth == "windows" ? 0 : 1);
    } else if (c.name == "txtUserID" && answers_.user) {
      dialog.Type(c.name, *answers_.user);
    } else if (c.name == "txtPassword") {
      if (std::optional<std::string> password = PasswordAnswer()) dialog.Type(c.name, *password);
    } else if (c.name == "chkSavePwd" && answers_.save_password) {
      dialog.SetChecked(c.name, *answers_.save_password);
    } else if (c.name == "txtDatabase" && answers_.database) {
      dialog.Type(c.name, *answers_.database);
    } else if (c.name == "txtSchema" && answers_.schema) {
      dialog.Type(c.name, *answers_.schema);
    }
  }
}

void TermLoginView::Ask(Dialog& dialog) {
  while (dialog.Visible()) {
    err_ << "[" << dialog.Caption() << "]\n"
         << "Enter で表示中の値のまま進みます。空白だけを入力すると空欄になります。\n";
    std::string label;
    bool ended = false;
    for (const Control& c : dialog.Controls()) {
      if (c.kind == ControlKind::kLabel) {
        label = PlainCaption(c.caption);
      } else if (c.kind != ControlKind::kButton && !AskControl(dialog, c, label)) {
        ended = true;
        break;
      }
    }
    if (!ended) {
      err_ << "接続 (Enter) / キャンセル (q) / やり直し (e): ";
      std::optional<std::string> choice = ReadLine(false);
      if (!choice) {
        ended = true;
      } else if (*choice == "q" || *choice == "Q" || *choice == "キャンセル") {
        dialog.PressEscape();
        cancelled_ = true;
      } else if (*choice != "e" && *choice != "E") {
        dialog.PressEnter();
      }
    }
    if (ended) {
      err_ << "\n";
      cancelled_ = dialog.QueryClose(CloseMode::kHost);
    }
  }
}

bool TermLoginView::AskControl(Dialog& dialog, const Control& c, const std::string& label) {
  std::string caption = c.kind == ControlKind::kCheckBox ? PlainCaption(c.caption) : label;
  if (!c.enabled) {
    err_ << "  " << caption << " (無効)\n";
    return true;
  }
  dialog.Focus(c.name);
  for (;;) {
    err_ << "  " << caption << " ";
    if (c.kind == ControlKind::kDropDownList) {
      for (std::size_t i = 0; i < c.items.size(); ++i) err_ << i + 1 << ") " << c.items[i] << "  ";
      err_ << "[" << c.list_index + 1 << "]: ";
    } else if (c.kind == ControlKind::kCheckBox) {
      err_ << (c.checked ? "[Y/n]: " : "[y/N]: ");
    } else if (c.password) {
      err_ << (c.text.empty() ? "[未入力]: " : "[入力済み]: ");
    } else {
      err_ << "[" << c.text << "]: ";
    }
    std::optional<std::string> line = ReadLine(c.password);
    if (!line) return false;
    if (line->empty()) return true;
    std::string answer = TrimLine(*line);
    if (c.kind == ControlKind::kDropDownList) {
      int n = answer.size() == 1 ? answer[0] - '0' : 0;
      if (n >= 1 && n <= static_cast<int>(c.items.size())) {
        dialog.Choose(c.name, n - 1);
        return true;
      }
    } else if (c.kind == ControlKind::kCheckBox) {
      if (answer == "y" || answer == "Y" || answer == "n" || answer == "N") {
        dialog.SetChecked(c.name, answer == "y" || answer == "Y");
        return true;
      }
    } else {
      dialog.Type(c.name, IsBlankLine(*line) ? "" : (c.password ? *line : answer));
      return true;
    }
    err_ << "  もう一度入力してください。\n";
  }
}

std::optional<std::string> TermLoginView::ReadLine(bool hidden) {
  std::string line;
  bool ok;
  if (hidden) {
    EchoOff quiet(tty_fd_);
    ok = static_cast<bool>(std::getline(in_, line));
    err_ << "\n";
  } else {
    ok = static_cast<bool>(std::getline(in_, line));
  }
  if (!ok) return std::nullopt;
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return line;
}

}  // namespace kastel::term
