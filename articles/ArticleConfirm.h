// The article dialog without its window: the values it opens with and the checks of "OK",
// each failure with its message and the control that gets the focus.
#pragma once

#include <string>

#include "articles/Article.h"
#include "articles/DecimalField.h"
#include "articles/EcrDoc.h"

namespace kos {

// The price field of the dialog: at most 99999,99, not negative.
inline constexpr DecimalLimits PRICE_LIMITS{5, 2, false};

enum class ArticleControl { None, Plu, Name, Price, Vat };

// What the dialog's controls hold.
struct ArticleInput {
    std::string pluText;
    std::string name;  // code page 1250, as typed
    std::string priceText;
    bool priceEnabled = true;  // a disabled price counts as 0
    int vatIndex = -1;         // selected entry 0..6 (A..G), -1 when none
    bool openPrice = false;
};

struct ArticleCheck {
    bool ok = true;
    std::string message;  // UTF-8, shown in a plain box with OK
    ArticleControl focus = ArticleControl::None;
};

// The controls on opening: a new article proposes lastPlu + 1 (fourteen nines wrap to all
// zeros), entry A and lastOpenPrice; an existing one shows its own values.
ArticleInput articleDialogInput(const EcrDoc& doc, const Article& article, bool isNew);

// "OK": on success writes PLU, name, VAT, open price and price into article and remembers PLU
// and open price in doc; on failure article may hold the values stored before the failing
// step, as the dialog leaves them.
ArticleCheck confirmArticle(EcrDoc& doc, Article& article, bool isNew, const ArticleInput& input);

}  // namespace kos
