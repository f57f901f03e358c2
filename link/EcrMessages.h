// The article messages of the register's command set, built and parsed in one place so the
// one-shot commands and the online article job speak them the same way.
#pragma once

#include <string>

#include "link/EcrArticle.h"
#include "link/Tx310Codes.h"

namespace kos {

// True when text can travel as one message field: it holds no ";", which ends a field.
bool fitsInField(const std::string& text);
// True when the W0 message of article keeps its fields: neither code nor name holds a ";".
bool articleFitsInMessage(const EcrArticle& article);

// "W0;" plu ";" name (register characters) ";" vat + 1 ";" price ";" openPrice ";".
std::string articleWriteMessage(const EcrArticle& article);
// "C0;" plu ";".
std::string articleDeleteMessage(const EcrArticle& article);

// Parses the register's article answer "0;plu;name;vat;price;open;quantity;amount;" into
// article. TX310_OK, or TX310_ERR_FORMAT for a missing or unreadable field. The name comes back
// in code page 1250 and is cut to 20 characters.
Tx310Code parseArticleAnswer(const std::string& answer, EcrArticle& article);

// A register decimal "whole[.fraction]" in units of 1/scale (scale 100 or 1000); the fraction is
// taken as a count of those units, so "12.5" is 12 units and 5 hundredths. False when the text
// is not such a number, the fraction reaches scale, or the value leaves 32 bits.
bool parseEcrDecimal(const std::string& text, int scale, int32_t& value);
// A plain decimal integer with nothing around it.
bool parseEcrInteger(const std::string& text, long& value);

}  // namespace kos
