#include "odbc/connect_hint.h"

#include <sqlext.h>

#include <algorithm>
#include <cctype>

namespace kastel::odbc {
namespace {

bool Mentions(const std::string& text, std::initializer_list<const char*> words) {
  std::string lower = text;
  std::transform(lower.begin(), lower.end(), lower.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return std::any_of(words.begin(), words.end(),
                     [&](const char* w) { return lower.find(w) != std::string::npos; });
}

}  // namespace

std::vector<std::string> InstalledDrivers(SQLHENV environment) {
  std::vector<std::string> names;
  SQLCHAR name[256];
  SQLCHAR attributes[1024];
  SQLSMALLINT name_length = 0;
  SQLSMALLINT attributes_length = 0;
  for (SQLUSMALLINT direction = SQL_FETCH_FIRST;; direction = SQL_FETCH_NEXT) {
    const SQLRETURN rc = SQLDrivers(environment, direction, name, sizeof name, &name_length,
                                    attributes, sizeof attributes, &attributes_length);
    if (!SQL_SUCCEEDED(rc)) break;
    names.emplace_back(reinterpret_cast<const char*>(name));
  }
  return names;
}

std::string ConnectHint(const std::string& diagnostic, const std::string& state,
                        const std::vector<std::string>& drivers) {
  // unixODBC names a driver it has no entry for as a library it cannot open.
  if (state == "IM002" || Mentions(diagnostic, {"can't open lib", "data source name not found"})) {
    std::string list;
    for (const std::string& d : drivers) list += (list.empty() ? "" : ", ") + d;
    return "\nこの名前の ODBC ドライバはインストールされていません。unixODBC が知っている"
           "ドライバ: " +
           (list.empty() ? std::string("(ありません)") : list) +
           " (KASTEL_ODBC_SQLSERVER / KASTEL_ODBC_ORACLE で選べます)";
  }
  // The login before the server: a refused login also fails "to connect".
  if (state.starts_with("28") ||
      Mentions(diagnostic, {"login failed", "password authentication failed", "ora-01017",
                            "authentication failed"})) {
    return "\nヒント: ログインできません。ユーザー名、パスワード、認証の種類を確かめて下さい。";
  }
  if (state == "3D000" || Mentions(diagnostic, {"cannot open database", "unknown database"}) ||
      (Mentions(diagnostic, {"database"}) && Mentions(diagnostic, {"does not exist"}))) {
    return "\nヒント: そのデータベースはありません。データベース名を確かめて下さい。";
  }
  if (state.starts_with("08") || state == "HYT00" ||
      Mentions(diagnostic, {"unable to connect", "could not connect", "connection refused",
                            "no such file or directory", "unavailable or does not exist",
                            "ora-12541", "ora-12514", "ora-12154", "timeout expired"})) {
    return "\nヒント: サーバーに届きません。サーバー名 (host,port や host\\instance)、ポート、"
           "サーバーが動いているか、ファイアウォールを確かめて下さい (kastel reverse --help)。";
  }
  return "";
}

}  // namespace kastel::odbc
