// What every test folder shares: scratch folders, whole files, other programs run to their end,
// and errors checked by number and text together (a user reads the text, a script the number).
#ifndef KASTEL_TESTS_SUPPORT_SUPPORT_H_
#define KASTEL_TESTS_SUPPORT_SUPPORT_H_

#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "base/error.h"

namespace kastel::testing {

// Debian's python3, which has openpyxl; the one first on PATH may not.
inline constexpr char kPython[] = "/usr/bin/python3";

// A fresh folder, removed with everything in it when the object goes.
class ScratchDir {
 public:
  ScratchDir();
  ~ScratchDir();
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;
  const std::filesystem::path& path() const { return path_; }
  std::string operator/(const std::string& name) const { return (path_ / name).string(); }
  // The folder `name` inside this one, created.
  std::string Sub(const std::string& name) const;
  // Names of the files in the folder, sorted.
  std::vector<std::string> List() const;

 private:
  std::filesystem::path path_;
};

std::string ReadFile(const std::string& path);
void WriteFile(const std::string& path, const std::string& bytes);

struct RunResult {
  int status = -1;
  std::string out, err;
};
// Runs `args` (no shell) in `cwd` with standard input empty; `env` replaces the environment
// when not empty.
RunResult RunProgram(const std::vector<std::string>& args,
                     const std::map<std::string, std::string>& env = {},
                     const std::string& cwd = "");
// Runs python3 with `args`; fails the test unless it exits 0. What it printed.
std::string Python(const std::vector<std::string>& args);
// Converts `path` to .xlsx with LibreOffice into `out_dir`: the new file, or "" when
// LibreOffice wrote nothing (it exits 0 even then).
std::string ConvertWithLibreOffice(const std::string& path, const std::string& out_dir);

// What openpyxl (and the package itself) reads from a workbook, one fact per key, as
// tests/fixtures/dump_book.py lists them: "cell:一覧!C5" -> "str:CUSTOMER", "sheet:2" ->
// "1|visible", "printarea:1" -> "$B$3:$V$37", "custom:DB" -> "lpwstr|SQL", ...
using Facts = std::map<std::string, std::string>;
Facts DumpBook(const std::string& path);
// The value of `key`, or "<none>" when absent.
std::string Get(const Facts& facts, const std::string& key);
// The facts whose key starts with `prefix`.
Facts WithPrefix(const Facts& facts, const std::string& prefix);

// Fails the test unless `action` throws kastel::Error with `number` and `description` (or,
// with `whole` false, a description holding it).
void ExpectError(const std::function<void()>& action, long number, const std::string& description,
                 bool whole = true);
inline void ExpectError(const std::function<void()>& action, RuntimeError code) {
  ExpectError(action, static_cast<long>(code), RuntimeDescription(code));
}

}  // namespace kastel::testing

#endif  // KASTEL_TESTS_SUPPORT_SUPPORT_H_
