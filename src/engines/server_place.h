// How a failure of the data port names its place: the server, the database and the step of the
// import that was under way.
#ifndef KASTEL_ENGINES_SERVER_PLACE_H_
#define KASTEL_ENGINES_SERVER_PLACE_H_

#include <string>
#include <string_view>

#include "host/host.h"

namespace kastel::engines {

inline constexpr std::string_view kStepConnect = "手順: 接続";
inline constexpr std::string_view kStepSchemaQuery = "手順: テーブルと列の問い合わせ";
inline constexpr std::string_view kStepIndexQuery = "手順: インデックスの読み込み";

// "サーバー S データベース D", leaving out a part that is empty (Oracle names no server).
std::string ServerPart(std::string_view server, std::string_view database);
// The same for the connection the workbook's properties describe, with the server the engine
// connects to when none is given.
std::string ServerPart(host::Workbook& wb);

}  // namespace kastel::engines

#endif  // KASTEL_ENGINES_SERVER_PLACE_H_
