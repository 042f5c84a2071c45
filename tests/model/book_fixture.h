// The real headless application, the terminal shell writing into strings and the model.
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
  // Opens a fixture workbook in place; nothing here saves over it.
  host::Workbook& Open(const std::string& name) { return app_.Open(testing::Fixture(name)); }
  host::Workbook& OpenLoaded(const std::string& name) {
    host::Workbook& wb = Open(name);
    defines_.LoadLayout(wb);
    return wb;
  }

  std::ostringstream out_, err_, status_;
  std::istringstream in_;
  term::TermShell shell_{out_, err_, in_, false};
  xlsx::XlsxApplication app_{status_};
  Defines defines_{shell_};
};

}  // namespace kastel::model

#endif  // KASTEL_TESTS_MODEL_BOOK_FIXTURE_H_
