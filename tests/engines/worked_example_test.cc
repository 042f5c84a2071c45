// The worked example tables EMP (SQL Server and Oracle), read from workbooks written by
// openpyxl: every block byte for byte as documented.
#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "engines/engine.h"
#include "engines/ora_tools.h"
#include "engines/sql_tools.h"
#include "model/defines.h"
#include "script_run.h"
#include "term/term_shell.h"
#include "xlsx/application.h"

namespace kastel::testing {
namespace {

// The documented text with each line ending in CR LF.
std::string CrLf(std::string_view text) {
  std::string out;
  for (char c : text) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}

const char* kSqlTable = R"(-- 社員
IF EXISTS (SELECT 'X' FROM dbo.sysobjects WHERE name = N'EMP' AND xtype = N'U')
    DROP TABLE EMP
GO
CREATE TABLE EMP(
   EMP_ID                            int                   IDENTITY(1,1)         NOT NULL
  ,EMP_NAME                          nvarchar(40)                                    NULL
  ,DEPT_CD                           char(4)               DEFAULT '0000'        NOT NULL
)
GO

)";

const char* kSqlIndex = R"(-- 社員
IF EXISTS(SELECT 'X' FROM sysindexes WHERE name = 'PK_EMP')
    ALTER TABLE EMP DROP CONSTRAINT PK_EMP
GO
ALTER TABLE EMP ADD  CONSTRAINT PK_EMP
   PRIMARY KEY(EMP_ID)
GO
IF EXISTS(SELECT 'X' FROM sysindexes WHERE name = 'IX_EMP_NAME')
    DROP INDEX EMP.IX_EMP_NAME
GO
CREATE INDEX IX_EMP_NAME ON EMP
   (EMP_NAME, DEPT_CD)
GO

)";

// One column's statements in the comment script; the comment's add statement only when given.
std::string SqlColumnComments(const std::string& c, const std::string& title,
                              const std::string& comment) {
  const std::string target = "N'table',  N'EMP', N'column', N'" + c + "'";
  std::string s = "-- 社員." + title + "\n";
  for (const auto& [prop, value] : {std::pair{"MS_Description", title}, {"comments", comment}}) {
    s += std::string("IF EXISTS(SELECT 'X' FROM ::fn_listextendedproperty(N'") + prop +
         "', N'user', N'dbo', " + target + "))\n    EXEC sp_dropextendedproperty N'" + prop +
         "', N'user', N'dbo', " + target + "\nGO\n";
    if (!value.empty()) {
      s += std::string("EXEC sp_addextendedproperty N'") + prop + "', '" + value +
           "', N'user', N'dbo', N'table', N'EMP', N'column', N'" + c + "'\nGO\n";
    }
  }
  return s;
}

const std::string kSqlComment = std::string(R"(-- 社員
IF EXISTS(SELECT 'X' FROM ::fn_listextendedproperty(N'MS_Description', N'user', N'dbo', N'table', N'EMP', NULL, default))
    EXEC sp_dropextendedproperty N'MS_Description', N'user', N'dbo', N'table', N'EMP'
GO
EXEC sp_addextendedproperty N'MS_Description', N'社員', N'user', N'dbo', N'table', N'EMP'
GO
)") + SqlColumnComments("EMP_ID", "社員ID", "") +
                                SqlColumnComments("EMP_NAME", "氏名", "姓と名の間は空白") +
                                SqlColumnComments("DEPT_CD", "部署コード", "部署マスタ''s key") +
                                "\n";

const char* kOraTable = R"(-- 社員
DROP   TABLE EMP                     CASCADE CONSTRAINTS;
CREATE TABLE EMP(
   EMP_ID                            NUMBER(10)                                  NOT NULL
  ,EMP_NAME                          VARCHAR2(40)                                    NULL
  ,DEPT_CD                           CHAR(4)               DEFAULT '0000'        NOT NULL
);

)";

const char* kOraIndex = R"(-- 社員
ALTER TABLE EMP DROP CONSTRAINT PK_EMP;
ALTER TABLE EMP ADD  CONSTRAINT PK_EMP
   PRIMARY KEY(EMP_ID);

DROP   INDEX IX_EMP_NAME;
CREATE INDEX IX_EMP_NAME ON EMP
   (EMP_NAME, DEPT_CD);


)";

const char* kOraComment = R"(-- 社員
COMMENT ON TABLE EMP                     IS 'EMP|社員';
COMMENT ON COLUMN EMP.EMP_ID                                      IS 'EMP_ID|社員ID|';
COMMENT ON COLUMN EMP.EMP_NAME                                    IS 'EMP_NAME|氏名|姓と名の間は空白';
COMMENT ON COLUMN EMP.DEPT_CD                                     IS 'DEPT_CD|部署コード|部署マスタ''s key';

)";

TEST(WorkedExampleTest, EveryBlockOfTheEmpTableIsAsDocumented) {
  struct Case {
    std::string dialect;
    std::string table, index, comment;
  };
  const std::vector<Case> cases = {{"SQL", kSqlTable, kSqlIndex, kSqlComment},
                                   {"ORA", kOraTable, kOraIndex, kOraComment}};
  ScratchDir dir;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.dialect);
    const std::string path = dir / c.dialect + ".xlsx";
    MakeFixture({"worked", path, "--dialect", c.dialect});
    std::ostringstream out, err, status;
    std::istringstream in;
    term::TermShell shell(out, err, in, false);
    xlsx::XlsxApplication app(status);
    host::Workbook& wb = app.Open(path);
    model::Defines defines(shell);
    engines::EngineContext context{.defines = defines, .shell = shell, .last_output_folder = {}};
    std::unique_ptr<engines::Engine> engine = engines::NewEngine(c.dialect, context);
    engine->Initialize(wb);
    host::Worksheet& ws = wb.Worksheets("EMP");
    EXPECT_EQ(engine->lfTableScript(wb, ws), CrLf(c.table));
    EXPECT_EQ(engine->lfIndexScript(wb, ws), CrLf(c.index));
    EXPECT_EQ(engine->lfCommentScript(wb, ws), CrLf(c.comment));
    EXPECT_EQ(defines.failures_shown(), 0);
  }
}

}  // namespace
}  // namespace kastel::testing
