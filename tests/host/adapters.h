// The host adapters the port's contract is checked against: every contract test runs once per
// adapter this build has.
#ifndef KASTEL_TESTS_HOST_ADAPTERS_H_
#define KASTEL_TESTS_HOST_ADAPTERS_H_

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "host/host.h"
#include "support.h"

namespace kastel::host::testing {

// One application of an adapter; the workbooks it opened close when it goes.
class Adapter {
 public:
  virtual ~Adapter() = default;
  virtual Application& App() = 0;
  // Opens the .xlsx at `path` (left as it is on disk) as the active workbook.
  virtual Workbook& Open(const std::string& path) = 0;
  // Closes `wb` as the user would, dropping its changes.
  virtual void Close(Workbook& wb) = 0;
};

struct AdapterKind {
  std::string name;
  std::unique_ptr<Adapter> (*make)();
};

// The fixture workbooks written by the xlsx tests' scripts ("book.xlsx", "cells.xlsx", ...).
std::string Fixture(const std::string& name);

class HostContract : public ::testing::TestWithParam<AdapterKind> {
 protected:
  Adapter& adapter() { return adapter_ ? *adapter_ : *(adapter_ = GetParam().make()); }
  Workbook& Open(const std::string& fixture) { return adapter().Open(Fixture(fixture)); }
  bool IsCalc() const { return GetParam().name == "calc"; }

 private:
  std::unique_ptr<Adapter> adapter_;
};

using kastel::testing::ExpectError;
inline constexpr long kSubscript = 9;
inline constexpr char kSubscriptText[] = "インデックスが有効範囲にありません。";

}  // namespace kastel::host::testing

#endif  // KASTEL_TESTS_HOST_ADAPTERS_H_
