// The login dialogs on a terminal. With a person at the terminal the dialog is asked field by
// field in tab order (the password without echo, greyed fields shown but skipped, the
// authentication as a numbered choice) and ends with 接続 or キャンセル. Without one, the
// answers given on the command line are entered into the dialog as a person would type them
// and OK is pressed: a missing answer keeps what the dialog shows. A person is offered the
// command line's answers as the fields' values. The password is never written out.
#ifndef KASTEL_TERM_LOGIN_VIEW_H_
#define KASTEL_TERM_LOGIN_VIEW_H_

#include <iosfwd>
#include <optional>
#include <string>

#include "login/form_view.h"
#include "util/shell.h"

namespace kastel::term {

// The command line's answers to a login dialog.
struct LoginAnswers {
  std::optional<std::string> server;  // SQL Server only
  std::optional<std::string> auth;    // "windows" or "sql"; SQL Server only
  std::optional<std::string> user;
  std::optional<std::string> database;  // Oracle: the connect string
  std::optional<bool> save_password;
  // The password is the first line of standard input; otherwise $KASTEL_PASSWORD when set.
  bool password_stdin = false;
  std::optional<std::string> schema = std::nullopt;  // PostgreSQL only
};

class TermLoginView final : public login::FormView {
 public:
  // `interactive`: a person answers on `in`, prompted on `err`; `tty_fd` is the descriptor
  // `in` reads from, whose echo is turned off while a password is typed when it is a terminal
  // (-1: none). Otherwise `answers` are used, the password read from `in` (asked for without
  // echo when `tty_fd` is a terminal) or from `shell`'s environment. Fails with error 5 when
  // `answers.auth` is neither "windows" nor "sql". The streams and the shell must outlive
  // the view.
  TermLoginView(std::ostream& err, std::istream& in, bool interactive, LoginAnswers answers,
                const Shell& shell, int tty_fd = -1);

  void ShowModal(login::Dialog& dialog) override;

  // True when the last dialog shown ended in Cancel (or its input ended).
  bool cancelled() const { return cancelled_; }

 private:
  // Enters the command line's answers into the enabled fields, in tab order.
  void Answer(login::Dialog& dialog);
  void Ask(login::Dialog& dialog);
  // Asks for one control; false when the input ended.
  bool AskControl(login::Dialog& dialog, const login::Control& control, const std::string& label);
  std::optional<std::string> ReadLine(bool hidden);
  std::optional<std::string> PasswordAnswer();

  std::ostream& err_;
  std::istream& in_;
  bool interactive_;
  LoginAnswers answers_;
  const Shell& shell_;
  int tty_fd_;
  std::optional<std::string> stdin_password_;
  bool cancelled_ = false;
};

// A caption without its access-key marker: "サーバー名(&S):" -> "サーバー名:".
std::string PlainCaption(const std::string& caption);

}  // namespace kastel::term

#endif  // KASTEL_TERM_LOGIN_VIEW_H_
