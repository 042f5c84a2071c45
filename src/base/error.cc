#include "base/error.h"

#include <utility>

namespace kastel {

Error::Error(long number, std::string source, std::string description)
    : std::runtime_error(description),
      number_(number),
      source_(std::move(source)),
      description_(std::move(description)) {}

Error Error::Runtime(RuntimeError code) {
  return Error(static_cast<long>(code), "KASTEL", RuntimeDescription(code));
}

Error Error::Host(std::string description, long number) {
  return Error(number, "Excel", std::move(description));
}

const char* RuntimeDescription(RuntimeError code) {
  switch (code) {
    case RuntimeError::kInvalidCall:
      return "プロシージャの呼び出し、または引数が不正です。";
    case RuntimeError::kOverflow:
      return "オーバーフローしました。";
    case RuntimeError::kOutOfMemory:
      return "メモリが不足しています。";
    case RuntimeError::kSubscript:
      return "インデックスが有効範囲にありません。";
    case RuntimeError::kTypeMismatch:
      return "型が一致しません。";
    case RuntimeError::kBadFileName:
      return "ファイル名または番号が不正です。";
    case RuntimeError::kFileNotFound:
      return "ファイルが見つかりません。";
    case RuntimeError::kPermission:
      return "書き込みできません。";
    case RuntimeError::kPathFile:
      return "パス名が無効です。";
    case RuntimeError::kPathNotFound:
      return "パスが見つかりません。";
    case RuntimeError::kObjectNotSet:
      return "オブジェクト変数または With ブロック変数が設定されていません。";
  }
  return "アプリケーション定義またはオブジェクト定義のエラーです。";
}

}  // namespace kastel
