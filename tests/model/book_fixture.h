// A test with the real headless application, the terminal shell writing into strings and the
// model under test.
#ifndef KASTEL_TESTS_MODEL_BOOK_FIXTURE_H_
#define KASTEL_TESTS_MODEL_BOOK_FIXTURE_H_

#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "book_test_util.h"
#include "model/defines.h"
#include "term/term_shell.h"
#include "xlsx/application.h"

namespace kastel::model {

class BookTest : public ::testing::Test {
 protected:
  // Opens a fixture workbook in place; nothing here ever saves over it.
  host::Workbook& Open(const std::string& name) { return app_.Open(testing::Fixture(name)); }
  // Opens a fixture workbook and loads its layout.
  host::Workbook& OpenLoaded(const std::string& name) {
    host::Workbook& wb = Open(name);
    defines_.LoadLayout(wb);
    return wb;
  }
  // Saves `wb` into the scratch folder and reads it back with another program.
  std::map<std::string, std::string> SaveAndDump(host::Workbook& wb) {
    const std::string path = scratch_ / "saved.xlsx";
    app_.SaveAs(wb, path);
    return testing::DumpBook(path);
  }

  std::ostringstream out_;
  std::ostringstream err_;
  std::ostringstream status_;
  std::istringstream in_;
  term::TermShell shell_{out_, err_, in_, false};
  xlsx::XlsxApplication app_{status_};
  Defines defines_{shell_};
  testing::ScratchDir scratch_;
};

}  // namespace kastel::model

#endif  // KASTEL_TESTS_MODEL_BOOK_FIXTURE_H_
