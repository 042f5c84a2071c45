// Failures of the whole system are one exception type, shaped like the VB runtime's Err object:
// a number, a source and a description. Handlers show only the description.
#ifndef KASTEL_BASE_ERROR_H_
#define KASTEL_BASE_ERROR_H_

#include <stdexcept>
#include <string>

namespace kastel {

// The VB6 runtime errors the system can raise, with their numbers.
enum class RuntimeError : long {
  kInvalidCall = 5,    // プロシージャの呼び出し、または引数が不正です。
  kOverflow = 6,       // オーバーフローしました。
  kOutOfMemory = 7,    // メモリが不足しています。
  kSubscript = 9,      // インデックスが有効範囲にありません。
  kTypeMismatch = 13,  // 型が一致しません。
  kBadFileName = 52,   // ファイル名または番号が不正です。
  kFileNotFound = 53,  // ファイルが見つかりません。
  kPermission = 70,    // 書き込みできません。
  kPathFile = 75,      // パス名が無効です。
  kPathNotFound = 76,  // パスが見つかりません。
  kObjectNotSet = 91,  // オブジェクト変数または With ブロック変数が設定されていません。
};

// Number of the system's own error (a layout parameter of 0) and its source.
inline constexpr long kOwnErrorNumber = 20001;
inline constexpr const char* kOwnErrorSource = "Nordwick";

// Numbers of host and driver failures that have no VB6 runtime equivalent.
inline constexpr long kHostError = 1004;        // a workbook operation the host refused
inline constexpr long kFileFormatError = 1005;  // a workbook file that cannot be read
inline constexpr long kDriverError = 3146;      // a failure reported by a database driver

class Error : public std::runtime_error {
 public:
  Error(long number, std::string source, std::string description);

  // A VB6 runtime error with its Japanese description; source "KASTEL".
  static Error Runtime(RuntimeError code);
  // A host failure (source "Excel") with the given description.
  static Error Host(std::string description, long number = kHostError);

  long number() const { return number_; }
  const std::string& source() const { return source_; }
  const std::string& description() const { return description_; }

 private:
  long number_;
  std::string source_;
  std::string description_;
};

// The Japanese description the VB6 runtime gives for `code`.
const char* RuntimeDescription(RuntimeError code);

}  // namespace kastel

#endif  // KASTEL_BASE_ERROR_H_
