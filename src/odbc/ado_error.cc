#include "odbc/ado_error.h"

#include <utility>

namespace kastel::odbc {
namespace {

const char* Description(AdoError code) {
  switch (code) {
    case AdoError::kCannotCreate:
      return "ActiveX コンポーネントはオブジェクトを作成できません。";
    case AdoError::kInvalidArgument:
      return "引数が間違った型、許容範囲外、または競合しています。";
    case AdoError::kNoCurrentRecord:
      return "BOF と EOF のいずれかが True になっているか、または現在のレコードが削除されて"
             "います。要求された操作には、現在のレコードが必要です。";
    case AdoError::kNotSupported:
      return "オブジェクトまたはプロバイダーは要求された操作を実行できません。";
    case AdoError::kItemNotFound:
      return "要求された名前、または序数に対応する項目がコレクションで見つかりません。";
    case AdoError::kObjectClosed:
      return "オブジェクトが閉じている場合は、操作は許可されません。";
    case AdoError::kObjectOpen:
      return "オブジェクトが開いている場合は、操作は許可されません。";
    case AdoError::kProviderNotFound:
      return "プロバイダーが見つかりません。正しくインストールされていない可能性があります。";
  }
  return "アプリケーション定義またはオブジェクト定義のエラーです。";
}

}  // namespace

Error MakeAdoError(AdoError code) {
  return Error(static_cast<long>(code), "ADODB", Description(code));
}

Error MakeDriverError(std::string message) {
  return Error(kDriverError, "ODBC", std::move(message));
}

}  // namespace kastel::odbc
