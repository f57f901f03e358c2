#include "online/ControlProtocol.h"

#include <cstdlib>

#include "articles/Articles.h"
#include "base/Codepage.h"

namespace kos {

std::string defaultControlPath() {
    const char* dir = std::getenv("XDG_RUNTIME_DIR");
    if (!dir || !*dir)
        return {};
    return std::string(dir) + "/kos-online.sock";
}

nlohmann::json articleToJson(const Article& a) {
    return nlohmann::json::array({a.plu.toString(), cp1250ToUtf8(a.name), a.price, a.vat,
                                  a.openPrice, a.modified, a.saleQuantity, a.saleValue});
}

bool articleFromJson(const nlohmann::json& item, Article& a) {
    if (!item.is_array() || item.size() != 8 || !item[0].is_string() || !item[1].is_string() ||
        !item[2].is_number_integer() || !item[3].is_number_integer() || !item[4].is_boolean() ||
        !item[5].is_boolean() || !item[6].is_number_integer() || !item[7].is_number_integer())
        return false;
    const auto in32 = [](const nlohmann::json& v) {
        const long long n = v.get<long long>();
        return n >= INT32_MIN && n <= INT32_MAX;
    };
    const long long vat = item[3].get<long long>();
    if (!in32(item[2]) || !in32(item[6]) || !in32(item[7]) ||
        !(vat == VAT_UNDEFINED || (vat >= 0 && vat < VAT_RATES)))
        return false;
    if (!a.plu.parse(item[0].get<std::string>()) ||
        !utf8ToCp1250Exact(item[1].get<std::string>(), a.name))
        return false;
    a.price = item[2].get<int32_t>();
    a.vat = static_cast<uint8_t>(vat);
    a.openPrice = item[4].get<bool>();
    a.modified = item[5].get<bool>();
    a.saleQuantity = item[6].get<int32_t>();
    a.saleValue = item[7].get<int32_t>();
    return true;
}

nlohmann::json articlesToJson(const Articles& articles) {
    nlohmann::json list = nlohmann::json::array();
    for (const Article* a : articles)
        list.push_back(articleToJson(*a));
    return list;
}

}  // namespace kos
