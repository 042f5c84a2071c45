// Where the system is at while it walks a workbook or a database: the workbook, the sheet, the
// table, the cell, the document property, the server and the step. A failure's message stays as
// it always was; the shell is told this place beside it, so that a person knows where to look.
#ifndef KASTEL_MODEL_WHERE_H_
#define KASTEL_MODEL_WHERE_H_

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace kastel::model {

class Where {
 public:
  // One part of the place, from its making to its end. A part ended by a failure leaves the
  // place as it was at the throw, for the handler that reports it further out.
  class Scope {
   public:
    Scope(Where& where, std::string part) : Scope(where, std::move(part), true) {}
    ~Scope();
    Scope(const Scope&) = delete;
    Scope& operator=(const Scope&) = delete;

   protected:
    // A part that is added only when `push`.
    Scope(Where& where, std::string part, bool push);

   private:
    Where& where_;
    int unwinding_at_start_;
    bool pushed_;
  };

  // The workbook part, named by whichever walk starts first (a refresh loads the layout, which
  // names the workbook as well when it runs alone).
  class BookScope : public Scope {
   public:
    BookScope(Where& where, std::string name)
        : Scope(where, std::move(name), where.parts_.empty()) {}
  };

  // The place of the failure being reported: the one left by a failure, else where the walk is
  // now; "" when nothing is named. Forgets the place left by a failure.
  std::string TakeText();

  // "シート「2」", "テーブル EMP" ("(名前なし)" for an empty name), "H8".
  static std::string SheetPart(const std::string& tab);
  static std::string TablePart(const std::string& name);
  static std::string CellPart(std::int32_t row, std::int32_t col);

 private:
  void Push(std::string part);
  void Pop(int unwinding_at_start);

  std::vector<std::string> parts_;
  std::string failed_;
};

}  // namespace kastel::model

#endif  // KASTEL_MODEL_WHERE_H_
