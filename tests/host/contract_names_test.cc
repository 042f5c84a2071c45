// Looking things up by name and position: sheets, custom document properties and workbook
// names, with error 9 for what is not there.
#include <set>

#include "adapters.h"

namespace kastel::host::testing {
namespace {

TEST_P(HostContract, OpenListsTheSheetsInTabOrderWithTheirThreeVisibilityStates) {
  Workbook& wb = Open("book.xlsx");
  EXPECT_EQ(wb.Name(), "book.xlsx");
  ASSERT_EQ(wb.WorksheetCount(), 4);
  struct Case {
    int index;
    const char* name;
    Visibility visible;
  } cases[] = {{1, "一覧", Visibility::kVisible},
               {2, "@LIST", Visibility::kHidden},
               // Calc knows no third state: it opens a very hidden sheet as hidden.
               {3, "参照", IsCalc() ? Visibility::kHidden : Visibility::kVeryHidden},
               {4, "template", Visibility::kVisible}};
  for (const auto& c : cases) {
    EXPECT_EQ(wb.Worksheets(c.index).Name(), c.name);
    EXPECT_EQ(wb.Worksheets(c.index).Visible(), c.visible) << c.name;
    EXPECT_EQ(&wb.Worksheets(c.name), &wb.Worksheets(c.index));
  }
  EXPECT_EQ(&wb.ActiveSheet(), &wb.Worksheets(1));
  EXPECT_EQ(wb.Worksheets(1).Cell(1, 1), Value::Text("テーブル一覧"));
  EXPECT_EQ(wb.Worksheets(1).Cell(5, 4), Value::Number(1234.5));
  EXPECT_EQ(wb.Worksheets(1).Cell(30, 30), Value());
  EXPECT_EQ(&wb.Worksheets(1).Parent(), &wb);
  EXPECT_EQ(&wb.App(), &adapter().App());
}

TEST_P(HostContract, SheetsAreFoundIgnoringCaseAndFailWithError9Otherwise) {
  Workbook& wb = Open("book.xlsx");
  EXPECT_EQ(wb.Worksheets("TEMPLATE").Name(), "template");
  EXPECT_EQ(wb.Worksheets("@list").Name(), "@LIST");
  for (const char* missing : {"templat", "template ", "", "一覧2"}) {
    ExpectError([&] { wb.Worksheets(missing); }, kSubscript, kSubscriptText);
  }
  for (int index : {0, -1, 5}) {
    ExpectError([&] { wb.Worksheets(index); }, kSubscript, kSubscriptText);
  }
}

class Recorder : public WorkbookEvents {
 public:
  void WorkbookActivate(Workbook*) override {}
  void WorkbookBeforeClose(Workbook& wb, bool&) override { log += "close:" + wb.Name() + ";"; }
  void WorkbookBeforeSave(Workbook&, bool, bool&) override {}
  std::string log;
};

TEST_P(HostContract, EventsReachEverySubscriberWhileItsHandleLives) {
  Recorder a, b, c;
  Subscription sa = adapter().App().SubscribeWorkbookEvents(a);
  {
    Subscription sb = adapter().App().SubscribeWorkbookEvents(b);
    adapter().Close(Open("plain.xlsx"));
  }
  Subscription sc = adapter().App().SubscribeWorkbookEvents(c);
  adapter().Close(Open("book.xlsx"));
  EXPECT_EQ(a.log, "close:plain.xlsx;close:book.xlsx;");
  EXPECT_EQ(b.log, "close:plain.xlsx;");
  EXPECT_EQ(c.log, "close:book.xlsx;");
}

// 2024-01-05 09:03:07 as a VB date serial.
const double kWhen = 45296 + (9 * 3600 + 3 * 60 + 7) / 86400.0;

TEST_P(HostContract, DocumentPropertiesReadEachTypeByExactNameAndEachOnceByPosition) {
  DocumentProperties& props = Open("book.xlsx").CustomDocumentProperties();
  ASSERT_EQ(props.Count(), 4);
  struct Case {
    const char* name;
    Value value;
  } cases[] = {{"TEMPLATE", Value::Text("DB")},
               {"COUNT", Value::Number(42)},
               {"FLAG", Value::Boolean(true)},
               {"WHEN", Value::Date(kWhen)}};
  std::set<const DocumentProperty*> by_index;
  for (int i = 1; i <= 4; ++i) by_index.insert(&props.Item(i));
  for (const auto& c : cases) {
    EXPECT_EQ(props.Item(c.name).Name(), c.name);
    EXPECT_EQ(by_index.count(&props.Item(c.name)), 1u) << c.name;
    const Value v = props.Item(c.name).GetValue();
    if (v.kind() == Value::Kind::kDate) {
      EXPECT_NEAR(v.date(), c.value.date(), 1e-9);
    } else {
      EXPECT_EQ(v, c.value) << c.name;
    }
  }
  for (const char* missing : {"template", "TEMPLATE ", "DB"}) {
    ExpectError([&] { props.Item(missing); }, kSubscript, kSubscriptText);
  }
  for (int index : {0, 5, -1}) {
    ExpectError([&] { props.Item(index); }, kSubscript, kSubscriptText);
  }
}

TEST_P(HostContract, DocumentPropertiesKeepTheirTypeWhenTheValueFitsAndBecomeTextOtherwise) {
  DocumentProperties& props = Open("book.xlsx").CustomDocumentProperties();
  const struct {
    const char* name;
    Value value;
  } cases[] = {{"TEMPLATE", Value::Text("<DB & \x01>")},
               {"COUNT", Value::Number(7)},
               {"FLAG", Value::Text("はい")},
               {"WHEN", Value::Date(45297.5)}};
  for (const auto& c : cases) {
    props.Item(c.name).SetValue(c.value);
    EXPECT_EQ(props.Item(c.name).GetValue(), c.value) << c.name;
  }
  props.AddText("DATA_SOURCE", "(local)");
  EXPECT_EQ(props.Item("DATA_SOURCE").GetValue(), Value::Text("(local)"));
  ExpectError([&] { props.AddText("COUNT", "x"); }, kHostError,
              "ドキュメント プロパティ'COUNT'は既に存在します。");
  EXPECT_EQ(props.Count(), 5);
}

TEST_P(HostContract, NamesAreFoundIgnoringCaseAndDeletedOnlyWhenPresent) {
  Names& names = Open("book.xlsx").WorkbookNames();
  EXPECT_EQ(names.RefersTo("DATA_TYPE"), "='@LIST'!$B$2:$B$4");
  EXPECT_EQ(names.RefersTo("data_type"), "='@LIST'!$B$2:$B$4");
  EXPECT_EQ(names.RefersTo("Print_Area"), std::nullopt);  // sheet-local names are not listed
  EXPECT_EQ(names.RefersTo("NONE"), std::nullopt);
  ExpectError([&] { names.Delete("NONE"); }, kSubscript, kSubscriptText);
  names.Delete("data_type");
  EXPECT_EQ(names.RefersTo("DATA_TYPE"), std::nullopt);
  ExpectError([&] { names.Delete("DATA_TYPE"); }, kSubscript, kSubscriptText);
}

TEST_P(HostContract, NamesAddR1C1StoresAbsoluteA1ReferencesQualifiedWithTheSheet) {
  struct Case {
    const char* name;
    const char* r1c1;
    const char* refers_to;  // nullptr: refused with `error`
    const char* error;
  } cases[] = {{"DATA_TYPE", "='@LIST'!R2C2:R28C2", "='@LIST'!$B$2:$B$28", nullptr},
               {"DATA_TYPE", "='@LIST'!R2C3:R21C3", "='@LIST'!$C$2:$C$21", nullptr},
               {"PGS", "='@LIST'!R2C4:R32C4", "='@LIST'!$D$2:$D$32", nullptr},
               {"HERE", "=R1C1", "='一覧'!$A$1", nullptr},
               {"REL", "='@LIST'!R[1]C2", nullptr,
                "名前'REL'の参照範囲'='@LIST'!R[1]C2'は正しくありません。"},
               {"A1", "='@LIST'!R1C1", nullptr, "名前'A1'は正しくありません。"},
               {"R1C1", "='@LIST'!R1C1", nullptr, "名前'R1C1'は正しくありません。"},
               {"TRUE", "='@LIST'!R1C1", nullptr, "名前'TRUE'は正しくありません。"},
               {"1abc", "='@LIST'!R1C1", nullptr, "名前'1abc'は正しくありません。"},
               {"a b", "='@LIST'!R1C1", nullptr, "名前'a b'は正しくありません。"},
               {"", "='@LIST'!R1C1", nullptr, "名前''は正しくありません。"}};
  Names& names = Open("book.xlsx").WorkbookNames();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    if (c.refers_to) {
      names.AddR1C1(c.name, c.r1c1);
      EXPECT_EQ(names.RefersTo(c.name), c.refers_to);
    } else {
      ExpectError([&] { names.AddR1C1(c.name, c.r1c1); }, kHostError, c.error);
    }
  }
}

}  // namespace
}  // namespace kastel::host::testing
