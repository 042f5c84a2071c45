#include "book_test_util.h"

namespace kastel::testing {

std::string Fixture(const std::string& name) {
  return std::string(KASTEL_TEST_FIXTURES) + "/" + name;
}

}  // namespace kastel::testing
