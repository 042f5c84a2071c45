// The engines' database connection: the login dialog, the connection parameters kept in the
// workbook, opening, querying and closing.
#include <exception>
#include <memory>
#include <string>

#include "base/error.h"
#include "base/vb.h"
#include "engines/connection_text.h"
#include "engines/engine.h"
#include "engines/ora_tools.h"
#include "engines/server_place.h"
#include "engines/sql_tools.h"
#include "login/ora_login.h"
#include "login/sql_login.h"
#include "model/defines.h"
#include "util/shell.h"

namespace kastel::engines {
namespace {

using model::Defines;

// The query that reads what the SQL Server catalogue batch collected.
constexpr const char* kTempTableQuery = "SELECT * FROM #temp_tab_info ORDER BY 1,3";

const char* Bool(bool b) { return b ? "True" : "False"; }

// What CreateObject raises for a class nobody can make.
Error CannotCreate() {
  return Error(429, "KASTEL", "ActiveX コンポーネントはオブジェクトを作成できません。");
}

}  // namespace

Engine::~Engine() {
  // The end of an engine has nobody left to report a failed close to.
  try {
    lfDbClose();
  } catch (const std::exception&) {
  }
}

void Engine::lfDbClose() {
  std::unique_ptr<data::Connection> cn = std::move(cn_);
  if (cn && cn->State() == data::kStateOpen) cn->Close();
}

void Engine::OpenConnection(const std::string& connection_string) {
  if (context_.provider == nullptr) throw CannotCreate();
  // An earlier connection is let go of as soon as a new one exists.
  cn_ = context_.provider->CreateConnection(data::kConnectionProgId);
  cn_->SetConnectionString(connection_string);
  cn_->Open();
  cn_->SetCursorLocation(data::kUseClient);
}

std::unique_ptr<data::Recordset> Engine::lfSelect(std::string sql) {
  try {
    if (!cn_) throw Error::Runtime(RuntimeError::kObjectNotSet);
    return cn_->Execute(sql);
  } catch (...) {
    context_.defines.ErrMsgCurrent("lfSelect");
  }
  return nullptr;
}

std::unique_ptr<data::Recordset> SqlTools::lfSelect(std::string sql) {
  try {
    if (connection() == nullptr) throw Error::Runtime(RuntimeError::kObjectNotSet);
    if (vb::UCase(sql.substr(0, 5)) == "BEGIN") {
      // The batch fills a temporary table that lives as long as the connection.
      connection()->ExecuteBatch(sql);
      sql = kTempTableQuery;
    }
    return connection()->Execute(sql);
  } catch (...) {
    context().defines.ErrMsgCurrent("lfSelect");
  }
  return nullptr;
}

bool SqlTools::lfDbOpen(host::Workbook& wb) {
  try {
    std::string server = Defines::GetDocProperty(wb, "DATA_SOURCE");
    bool integrated = PropertyIsTrue(Defines::GetDocProperty(wb, "INTEGRATED_SECURITY"));
    std::string user = Defines::GetDocProperty(wb, "USER_ID");
    std::string password = Defines::GetDocProperty(wb, "PASSWORD");
    std::string database = Defines::GetDocProperty(wb, "DATABASE");
    bool save_pwd = PropertyIsTrue(Defines::GetDocProperty(wb, "SAVE_PWD"));

    if (context().login_view == nullptr) return false;
    {
      login::SqlLogin dialog(*context().login_view);
      if (!dialog.ShowModal(server, integrated, user, password, database, save_pwd)) {
        return false;
      }
    }
    // Stored before connecting, so that a failed attempt is retried from them.
    Defines::SetDocProperty(wb, "DATA_SOURCE", server);
    Defines::SetDocProperty(wb, "INTEGRATED_SECURITY", Bool(integrated));
    Defines::SetDocProperty(wb, "USER_ID", integrated ? "" : user);
    Defines::SetDocProperty(wb, "PASSWORD", !integrated && save_pwd ? password : "");
    Defines::SetDocProperty(wb, "DATABASE", database);
    Defines::SetDocProperty(wb, "SAVE_PWD", Bool(!integrated && save_pwd));

    if (server.empty()) server = "(local)";
    model::Where::Scope at(context().defines.where(),
                           ServerPart(server, database) + " " + std::string(kStepConnect));
    OpenConnection(SqlServerConnectionString(server, integrated, user, password, database));
    return true;
  } catch (...) {
    context().defines.ErrMsgCurrent("lfDbOpen");
  }
  return false;
}

bool OraTools::lfDbOpen(host::Workbook& wb) {
  try {
    std::string user = Defines::GetDocProperty(wb, "USER_ID");
    std::string password = Defines::GetDocProperty(wb, "PASSWORD");
    std::string database = Defines::GetDocProperty(wb, "DATABASE");
    bool save_pwd = PropertyIsTrue(Defines::GetDocProperty(wb, "SAVE_PWD"));

    if (context().login_view == nullptr) return false;
    {
      login::OraLogin dialog(*context().login_view);
      if (!dialog.ShowModal(user, password, database, save_pwd)) return false;
    }
    Defines::SetDocProperty(wb, "USER_ID", user);
    // Not ticking the box asks not to keep the password, so an earlier one goes too.
    Defines::SetDocProperty(wb, "PASSWORD", save_pwd ? password : "");
    Defines::SetDocProperty(wb, "DATABASE", database);
    Defines::SetDocProperty(wb, "SAVE_PWD", Bool(save_pwd));

    model::Where::Scope at(context().defines.where(),
                           ServerPart("", database) + " " + std::string(kStepConnect));
    OpenConnection(OracleConnectionString(database, user, password));
    return true;
  } catch (...) {
    context().defines.ErrMsgCurrent("lfDbOpen");
  }
  return false;
}

}  // namespace kastel::engines
