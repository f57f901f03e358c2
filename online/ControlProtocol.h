// The control socket's protocol, shared by kos-online and its clients: JSON objects, one per
// line, each carrying the protocol version "v". Articles travel as compact arrays
// [plu, name (UTF-8), price, vat, open price, modified, quantity, value].
#pragma once

#include <cstddef>
#include <string>

#include <nlohmann/json.hpp>

namespace kos {

struct Article;
class Articles;

inline constexpr int CONTROL_PROTOCOL_VERSION = 1;
// Longest request line; a longer one is answered with an error and the connection closed.
inline constexpr size_t CONTROL_MAX_LINE = 1024 * 1024;

// $XDG_RUNTIME_DIR/kos-online.sock, or "" when the variable is unset or empty.
std::string defaultControlPath();

nlohmann::json articleToJson(const Article& article);
// False when the array does not hold a valid article.
bool articleFromJson(const nlohmann::json& item, Article& article);
nlohmann::json articlesToJson(const Articles& articles);

}  // namespace kos
