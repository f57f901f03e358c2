// The text form of articles on the clipboard: one line per article, eight TAB-separated fields
// (mark, PLU, name, price, open price, VAT, quantity, value), LF after each, code page 1250.
// Copy writes it; paste reads it line by line into a document, stopping at the first bad line.
#pragma once

#include <array>
#include <functional>
#include <string>

#include "articles/Article.h"
#include "articles/Articles.h"
#include "articles/EcrDoc.h"
#include "base/Prompt.h"
#include "base/Settings.h"

namespace kos {

// The rates' descriptions (settings PTUA..PTUG) in code page 1250.
using VatTexts = std::array<std::string, VAT_RATES>;
VatTexts vatTexts(const Settings& settings);

// Empty for an undefined rate, else the letter, a space and the rate's description.
std::string vatColumn(uint8_t vat, const VatTexts& texts);

// One article line with its LF; totals and price are written without sign.
void appendArticleLine(std::string& out, const Article& article, const VatTexts& texts);
// Every article of the list in list order.
std::string copyArticles(const Articles& articles, const VatTexts& texts);

struct PasteResult {
    int added = 0;
    int lines = 0;         // lines taken, the one that ended the paste included
    bool complete = true;  // false when a bad line or a No to the duplicate question ended it
};

// Adds the articles of text (code page 1250) to doc, marking it modified per article added and
// calling onAdded for each. A bad line is reported through prompt with its number and ends the
// paste; an article add refuses raises the duplicate question (Yes goes on). Nothing added
// before is taken back.
PasteResult pasteArticles(EcrDoc& doc, const std::string& text, Prompt& prompt,
                          const std::function<void(Article&)>& onAdded = {});

}  // namespace kos
