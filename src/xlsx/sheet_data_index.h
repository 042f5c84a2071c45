// The parsed worksheet part of a SheetData and its index: rows and cells by number, kept in
// step with the DOM, so that a cell is found by binary search and Find never walks the XML.
#ifndef KASTEL_XLSX_SHEET_DATA_INDEX_H_
#define KASTEL_XLSX_SHEET_DATA_INDEX_H_

#include <string>
#include <string_view>
#include <vector>

#include <pugixml.hpp>

#include "xlsx/a1.h"
#include "xlsx/sheet_data.h"

namespace kastel::xlsx {

class SheetData::Index {
 public:
  struct Cell {
    int column = 0;
    pugi::xml_node node;  // <c>
    std::string folded;   // the value as text, upper-cased for Find; valid when `folded_ready`
    bool folded_ready = false;
  };
  struct Row {
    int number = 0;
    pugi::xml_node node;      // <row>
    std::vector<Cell> cells;  // ascending by column
  };

  // Indexes the worksheet DOM `doc`. Rows or cells without r get it written in (their place is
  // what readers infer, so nothing changes in meaning). Throws kFileFormatError naming `path` and
  // `part` when rows or cells are out of order, repeated or outside the sheet.
  Index(pugi::xml_document& doc, std::string_view path, std::string_view part);

  std::vector<Row>& rows() { return rows_; }
  // The row, or null.
  Row* FindRow(int row);
  // The cell, or null.
  Cell* FindCell(int row, int column);
  // The cell, created in the DOM at its sorted place (and its row) when absent. The row's
  // spans are dropped and the dimension widened to cover the cell.
  Cell& EnsureCell(int row, int column);
  // Removes the <c> of (row, column), and its row too when that row is left bare.
  void RemoveCell(int row, int column);

  // The multi-cell array formula range holding (row, column), or null.
  const RangeRef* ArrayAt(int row, int column) const;
  // The array formula ranges that meet `range`.
  std::vector<RangeRef> ArraysMeeting(const RangeRef& range) const;

  // Removes the cell's formula, if any; dependants of a shared-formula master become ordinary
  // formulas with their own text, and an array formula master is forgotten. True when a
  // formula was removed.
  bool DropFormula(int row, Cell& cell);

  // A child element of the worksheet, created at its place in the schema's element order when
  // absent.
  pugi::xml_node EnsureWorksheetChild(std::string_view local);
  pugi::xml_node root() const { return root_; }
  // The namespace prefix the part uses for its elements ("" or "x:").
  const std::string& prefix() const { return prefix_; }

 private:
  void IndexRow(pugi::xml_node row, int& last_row, std::string_view path, std::string_view part);
  void ConvertDependants(int master_row, int master_column, pugi::xml_node master_formula);
  void WidenDimension(int row, int column);

  pugi::xml_node root_;
  pugi::xml_node sheet_data_;
  std::string prefix_;
  std::vector<Row> rows_;
  std::vector<RangeRef> arrays_;  // multi-cell array formulas
};

}  // namespace kastel::xlsx

#endif  // KASTEL_XLSX_SHEET_DATA_INDEX_H_
