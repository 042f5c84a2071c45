// The host port: the spreadsheet application's object model as the add-in sees it.
//
// The core (add-in, model, engines) reaches workbooks, sheets, cells, document properties,
// names, hyperlinks, page setup, command bars and the host's events only through these classes.
// An adapter implements them: the headless application over .xlsx files in src/xlsx, later a
// spreadsheet application's own object model.
//
// Contracts every adapter keeps:
// - Rows and columns are 1-based. Sheet positions are 1-based, in tab order.
// - Every failure is a kastel::Error carrying a number and a Japanese description; a lookup of
//   a missing name fails with error 9 (インデックスが有効範囲にありません。).
// - Workbooks and worksheets are owned by the host: a reference stays valid while its workbook
//   is open. Command bars and controls are shared handles: a deleted one still exists as an
//   object, and every use of it then fails.
// - Events are delivered on the caller's thread, one at a time. A subscription lasts as long as
//   the Subscription handle that the subscribe call returned.
#ifndef KASTEL_HOST_HOST_H_
#define KASTEL_HOST_HOST_H_

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/subscription.h"
#include "base/value.h"

namespace kastel::host {

class Application;
class Workbook;

// A cell position found by a search.
struct CellPos {
  int row = 0;
  int column = 0;
  bool operator==(const CellPos&) const = default;
};

// The host's three sheet visibility states. Callers read them as a boolean: only kHidden is
// false, so a very hidden sheet counts as shown. A host without the third state (Calc) reads a
// very hidden sheet as kHidden.
enum class Visibility : int { kVisible = -1, kHidden = 0, kVeryHidden = 2 };

// Cells.Find arguments. The system always looks in values (-4163), matches the whole cell (1),
// searches forwards (1) and ignores case; only the order varies.
enum class SearchOrder : int { kByRows = 1, kByColumns = 2 };

struct FindOptions {
  std::string what;
  // The search starts at the cell after this one in the search order and wraps around the
  // sheet, so that `after` itself is looked at last.
  CellPos after{1, 1};
  SearchOrder order = SearchOrder::kByRows;
  bool whole_cell = true;   // LookAt 1 (xlWhole); false: the text may stand inside the cell
  bool match_case = false;  // MatchCase
};

class Worksheet {
 public:
  virtual ~Worksheet() = default;

  // The tab name.
  virtual std::string Name() const = 0;
  // Renames the sheet. Fails (error 1004) when the name is empty, longer than 31 characters,
  // holds one of : \ / ? * [ ], begins or ends with an apostrophe, or equals another sheet's
  // name ignoring case. References to the sheet in the workbook follow the new name.
  virtual void SetName(std::string_view name) = 0;

  virtual Visibility Visible() const = 0;
  // Shows (true) or hides (false) the sheet. Hiding the only visible sheet fails.
  virtual void SetVisible(bool visible) = 0;

  // Makes the sheet the active sheet of its workbook.
  virtual void Activate() = 0;
  // Selects the sheet (alone) and makes it active.
  virtual void Select() = 0;

  // Copies the sheet into the same workbook directly before `before`; the copy has its own
  // parts, sheet-local names and validations, the name of the original with " (2)" (the
  // smallest free number) appended, and the original's visibility.
  virtual void Copy(Worksheet& before) = 0;

  // Cells(row, column).Value. An empty cell reads as an empty Value; a formula cell reads as
  // its last computed value. Fails (error 1004) outside rows 1..1048576 and columns 1..16384,
  // as the write does: a layout position off the sheet must not read as an empty cell.
  virtual Value Cell(int row, int column) const = 0;
  // The rows from `first` to `last` whose cell in `column` reads as anything but empty, in
  // order: what reading Cell row by row would find, for walks down a mostly empty column.
  // Fails as Cell does for a position off the sheet. Adapters that hold a sheet's cells answer
  // it without a read per row.
  virtual std::vector<int> FilledRows(int column, int first, int last) const {
    std::vector<int> rows;
    for (int row = first; row <= last; ++row) {
      if (!Cell(row, column).is_empty()) rows.push_back(row);
    }
    return rows;
  }
  // Cells(row, column).Value = value. Keeps the cell's format. Text starting with an
  // apostrophe is stored as the text after it, as a typed entry would be. Fails (error 1004)
  // outside the sheet.
  virtual void SetCell(int row, int column, const Value& value) = 0;

  // Cells.Find: the first cell after options.after, in the given order and wrapping around the
  // sheet, whose value as text equals options.what; nothing when no cell matches.
  virtual std::optional<CellPos> Find(const FindOptions& options) const = 0;

  // Range(address).ClearContents: values and formulas of the cells in `a1_range` (such as
  // "C8:R520" or "U6") are removed; formats stay.
  virtual void ClearContents(std::string_view a1_range) = 0;

  // Hyperlinks.Add with Address "": a link on the cell `anchor_a1` to `sub_address`, a place in
  // the workbook such as "1!R1C1" or "'1'!A1"; the cell shows `text_to_display`.
  virtual void AddHyperlink(std::string_view anchor_a1, std::string_view sub_address,
                            std::string_view text_to_display) = 0;

  // Cells(row, column).Hyperlinks(1).SubAddress when that link goes to a place in this workbook
  // (Address ""), such as "'12'!A1", whether or not the place still exists; "" when the cell
  // has no hyperlink or its link goes to a file or web address.
  virtual std::string HyperlinkSubAddress(int row, int column) const = 0;

  // Range(a1_range).Hyperlinks.Delete: removes every hyperlink on a cell of the range; values
  // and formats stay.
  virtual void DeleteHyperlinks(std::string_view a1_range) = 0;

  // PageSetup.PrintArea: an A1 range such as "$B$3:$V$40"; "" for none.
  virtual std::string PrintArea() const = 0;
  virtual void SetPrintArea(std::string_view a1_range) = 0;

  virtual Workbook& Parent() = 0;
};

// One custom document property.
class DocumentProperty {
 public:
  virtual ~DocumentProperty() = default;
  virtual std::string Name() const = 0;
  // Texts read as text; numbers, booleans and dates as such.
  virtual Value GetValue() const = 0;
  // Stores the value with the property's type kept when the value fits it, else as text.
  virtual void SetValue(const Value& value) = 0;
};

// Workbook.CustomDocumentProperties.
class DocumentProperties {
 public:
  virtual ~DocumentProperties() = default;
  virtual int Count() const = 0;
  // The property at 1-based `index`, in the host's own order (the file's, or Calc's sorted
  // one); fails with error 9 outside 1..Count.
  virtual DocumentProperty& Item(int index) = 0;
  // The property named `name` (exact); fails with error 9 when there is none.
  virtual DocumentProperty& Item(std::string_view name) = 0;
  // Add with LinkToContent false and Type 4 (text). Fails when the name exists.
  virtual DocumentProperty& AddText(std::string_view name, std::string_view value) = 0;
};

// Workbook-level defined names (Workbook.Names).
class Names {
 public:
  virtual ~Names() = default;
  // Names(name).Delete; fails with error 9 when the workbook has no such name.
  virtual void Delete(std::string_view name) = 0;
  // Names.Add Name:=name, RefersToR1C1:=refers_to, such as "='@LIST'!R2C2:R28C2"; the
  // reference must be absolute. Replaces a workbook-level name of the same name.
  virtual void AddR1C1(std::string_view name, std::string_view refers_to_r1c1) = 0;
  // The reference of a workbook-level name in A1 form ("='@LIST'!$B$2:$B$28"), or nothing.
  virtual std::optional<std::string> RefersTo(std::string_view name) const = 0;
};

class Workbook {
 public:
  virtual ~Workbook() = default;

  // The file name without folder, such as "テーブル定義書1.xlsx".
  virtual std::string Name() const = 0;

  // Worksheets.Count.
  virtual int WorksheetCount() const = 0;
  // Worksheets(index), 1-based; fails with error 9 outside 1..Count.
  virtual Worksheet& Worksheets(int index) = 0;
  // Worksheets(name), compared ignoring case as the host does; fails with error 9 when absent.
  virtual Worksheet& Worksheets(std::string_view name) = 0;
  // ActiveSheet.
  virtual Worksheet& ActiveSheet() = 0;

  virtual DocumentProperties& CustomDocumentProperties() = 0;
  virtual Names& WorkbookNames() = 0;

  virtual Application& App() = 0;
};

// A command bar control: a button (type 1) or a popup (type 10).
class CommandBarControls;

enum class ControlType : int { kButton = 1, kPopup = 10 };

class CommandBarControl {
 public:
  virtual ~CommandBarControl() = default;

  virtual ControlType Type() const = 0;
  // TypeName of the control object: "CommandBarButton" or "CommandBarPopup".
  virtual std::string TypeName() const = 0;

  virtual std::string Caption() const = 0;
  virtual void SetCaption(std::string_view caption) = 0;
  virtual std::string ToolTipText() const = 0;
  virtual void SetToolTipText(std::string_view text) = 0;
  // msoButtonIcon 1, msoButtonIconAndCaption 3; 0 for a popup.
  virtual int Style() const = 0;
  virtual void SetStyle(int style) = 0;
  virtual int FaceId() const = 0;
  virtual void SetFaceId(int face_id) = 0;
  virtual bool Enabled() const = 0;
  virtual void SetEnabled(bool enabled) = 0;
  virtual bool Visible() const = 0;
  virtual void SetVisible(bool visible) = 0;

  // Removes the control from its parent; later use of it fails.
  virtual void Delete() = 0;

  // A popup's own controls; fails for a button.
  virtual CommandBarControls& Controls() = 0;

  // The button's Click event (Ctrl, CancelDefault). One call per click.
  using ClickHandler = std::function<void(CommandBarControl& ctrl, bool& cancel_default)>;
  virtual Subscription OnClick(ClickHandler handler) = 0;
};

class CommandBarControls {
 public:
  virtual ~CommandBarControls() = default;
  virtual int Count() const = 0;
  // Controls(index), 1-based; fails with error 9 outside 1..Count.
  virtual std::shared_ptr<CommandBarControl> Item(int index) = 0;
  // Controls(caption): the first control with that caption; fails with error 9 when none.
  virtual std::shared_ptr<CommandBarControl> Item(std::string_view caption) = 0;
  // Controls.Add Type:=type, appended at the end.
  virtual std::shared_ptr<CommandBarControl> Add(ControlType type) = 0;
};

class CommandBar {
 public:
  virtual ~CommandBar() = default;
  virtual std::string Name() const = 0;
  virtual bool Visible() const = 0;
  virtual void SetVisible(bool visible) = 0;
  virtual CommandBarControls& Controls() = 0;
  // Removes the bar from CommandBars; later use of it fails.
  virtual void Delete() = 0;
};

class CommandBars {
 public:
  virtual ~CommandBars() = default;
  // CommandBars(name); fails with error 5 when there is no such bar.
  virtual std::shared_ptr<CommandBar> Item(std::string_view name) = 0;
  // CommandBars.Add Name:=name; the bar is not temporary and starts invisible and empty.
  virtual std::shared_ptr<CommandBar> Add(std::string_view name) = 0;
};

// Receiver of the application's workbook events.
class WorkbookEvents {
 public:
  virtual ~WorkbookEvents() = default;
  // A workbook became active; `wb` is null when activation left no workbook.
  virtual void WorkbookActivate(Workbook* wb) = 0;
  virtual void WorkbookBeforeClose(Workbook& wb, bool& cancel) = 0;
  virtual void WorkbookBeforeSave(Workbook& wb, bool save_as_ui, bool& cancel) = 0;
};

class Application {
 public:
  virtual ~Application() = default;

  // ActiveWorkbook, or null when no workbook is open.
  virtual Workbook* ActiveWorkbook() = 0;
  // Workbooks.Add Template:=path. The new workbook becomes the active one. Fails when the
  // template cannot be opened.
  virtual Workbook& AddWorkbook(std::string_view template_path) = 0;

  virtual bool ScreenUpdating() const = 0;
  virtual void SetScreenUpdating(bool on) = 0;

  // StatusBar = text; ResetStatusBar is StatusBar = False, giving the bar back to the host.
  virtual void SetStatusBar(std::string_view text) = 0;
  virtual void ResetStatusBar() = 0;

  virtual CommandBars& Bars() = 0;

  // Subscribes `sink` to the workbook events; it stays subscribed while the handle lives.
  virtual Subscription SubscribeWorkbookEvents(WorkbookEvents& sink) = 0;
};

// The add-in connection interface (IDTExtensibility2): the host calls these on the add-in it
// loads. Connect modes and remove modes are the host's numbers (remove mode 1: the user removed
// the add-in; 0: the host is shutting down).
class AddIn {
 public:
  virtual ~AddIn() = default;
  virtual void OnConnection(Application& app, int connect_mode) = 0;
  virtual void OnDisconnection(int remove_mode) = 0;
  virtual void OnAddInsUpdate() {}
  virtual void OnStartupComplete() {}
  virtual void OnBeginShutdown() {}
};

}  // namespace kastel::host

#endif  // KASTEL_HOST_HOST_H_
