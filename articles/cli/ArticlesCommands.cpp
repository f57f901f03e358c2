#include "ArticlesCommands.h"

#include <sys/stat.h>

#include <cstdio>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>

#include "articles/ArticleConfirm.h"
#include "articles/ArticleText.h"
#include "base/Codepage.h"
#include "base/DocumentFile.h"

namespace kos {

namespace {

constexpr int FAILED = 1;

bool fileExists(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0;
}

// The document at path, or a new one when there is no file and create is set.
bool openDocument(const std::string& path, bool create, EcrDoc& doc, Prompt& prompt) {
    if (create && !fileExists(path)) {
        std::printf("nowy dokument %s\n", path.c_str());
        return true;
    }
    return doc.open(path, prompt);
}

// Text typed by a person (UTF-8) as the document keeps it; false after telling why.
bool toDocumentText(const std::string& utf8, std::string& cp1250, Prompt& prompt) {
    if (utf8ToCp1250Exact(utf8, cp1250))
        return true;
    prompt.message("Tekst zawiera znaki spoza strony kodowej 1250: " + utf8, PromptIcon::Stop);
    return false;
}

bool withinLineWidth(const std::string& cp1250, Prompt& prompt) {
    if (cp1250.size() <= ECRHeader::LINE_WIDTH)
        return true;
    prompt.message("Wprowadź nie więcej niż " + std::to_string(ECRHeader::LINE_WIDTH) + " znaków.",
                   PromptIcon::Exclamation);
    return false;
}

bool readInput(const std::string& path, std::string& data, Prompt& prompt) {
    if (path.empty()) {
        data.assign(std::istreambuf_iterator<char>(std::cin), std::istreambuf_iterator<char>());
        return !std::cin.bad();
    }
    if (readWholeFile(path, data))
        return true;
    prompt.message("Nie można odczytać pliku " + path + ".", PromptIcon::Stop);
    return false;
}

// UTF-8 input as code page 1250. A line with a character the code page lacks ends the text
// before it; its number is returned (0 when every line converts).
int convertInput(const std::string& utf8, std::string& cp1250) {
    if (utf8ToCp1250Exact(utf8, cp1250))
        return 0;
    cp1250.clear();
    int line = 1;
    for (size_t start = 0; start < utf8.size(); ++line) {
        size_t end = utf8.find('\n', start);
        end = end == std::string::npos ? utf8.size() : end + 1;
        std::string converted;
        if (!utf8ToCp1250Exact(utf8.substr(start, end - start), converted))
            return line;
        cp1250 += converted;
        start = end;
    }
    return 0;
}

}  // namespace

int exportArticles(const ArticlesOptions& o, const Settings& settings, Prompt& prompt) {
    EcrDoc doc;
    if (!doc.open(o.file, prompt))
        return FAILED;
    std::string text = copyArticles(doc.articles, vatTexts(settings));
    if (!o.cp1250)
        text = cp1250ToUtf8(text);
    if (o.stream.empty()) {
        std::fwrite(text.data(), 1, text.size(), stdout);
        return std::fflush(stdout) == 0 ? 0 : FAILED;
    }
    std::ofstream out(o.stream, std::ios::binary | std::ios::trunc);
    out << text;
    out.close();
    if (!out) {
        prompt.message("Nie można zapisać pliku " + o.stream + ".", PromptIcon::Stop);
        return FAILED;
    }
    std::printf("zapisano artykułów: %d do %s\n", doc.articles.count(), o.stream.c_str());
    return 0;
}

int importArticles(const ArticlesOptions& o, Prompt& prompt) {
    EcrDoc doc;
    std::string input, text;
    if (!openDocument(o.file, true, doc, prompt) || !readInput(o.stream, input, prompt))
        return FAILED;
    int badLine = 0;
    if (o.cp1250)
        text = std::move(input);
    else
        badLine = convertInput(input, text);
    PasteResult r = pasteArticles(doc, text, prompt);
    if (r.complete && badLine) {
        prompt.message("Linia " + std::to_string(badLine) + " - niepoprawny format.",
                       PromptIcon::None);
        r.complete = false;
    }
    const bool saved = doc.save(o.file, prompt);
    std::printf("dodano artykułów: %d\n", r.added);
    return r.complete && saved ? 0 : FAILED;
}

int addArticle(const ArticlesOptions& o, Prompt& prompt) {
    EcrDoc doc;
    ArticleInput input;
    if (!openDocument(o.file, true, doc, prompt) || !toDocumentText(*o.name, input.name, prompt) ||
        !withinLineWidth(input.name, prompt))
        return FAILED;
    input.pluText = *o.plu;
    input.priceText = *o.price;
    const std::string& vat = *o.vat;
    if (vat.size() == 1 && vat[0] >= 'A' && vat[0] < 'A' + VAT_RATES)
        input.vatIndex = vat[0] - 'A';
    input.openPrice = o.openPrice;

    auto article = std::make_unique<Article>();
    const ArticleCheck check = confirmArticle(doc, *article, true, input);
    if (!check.ok) {
        prompt.message(check.message, PromptIcon::None);
        return FAILED;
    }
    doc.setModified();
    Article& added = *article;
    if (!doc.articles.add(article)) {
        prompt.message("Błąd podczas dodawania artykułu.", PromptIcon::None);
        return FAILED;
    }
    if (!doc.save(o.file, prompt))
        return FAILED;
    std::printf("dodano artykuł %s %s\n", added.plu.toString().c_str(),
                cp1250ToUtf8(added.name).c_str());
    return 0;
}

int editHeader(const ArticlesOptions& o, Prompt& prompt) {
    const bool edit = !o.lines.empty() || o.alignment;
    EcrDoc doc;
    if (!openDocument(o.file, edit, doc, prompt))
        return FAILED;
    if (edit) {
        ECRHeader header = doc.header;
        for (const auto& [number, utf8] : o.lines) {
            std::string& line = header.lines[static_cast<size_t>(number - 1)];
            if (!toDocumentText(utf8, line, prompt) || !withinLineWidth(line, prompt))
                return FAILED;
        }
        if (o.alignment)
            header.alignment = static_cast<uint8_t>(*o.alignment);
        doc.header = header;
        doc.setModified();
        if (!doc.save(o.file, prompt))
            return FAILED;
    }
    static const char* const NAMES[] = {"lewej", "środka", "prawej"};
    for (const std::string& line : doc.header.lines)
        std::printf("%s\n", cp1250ToUtf8(line).c_str());
    const uint8_t a = doc.header.alignment;
    std::printf("wyrównanie: %s\n", a <= ECRHeader::RIGHT ? NAMES[a] : std::to_string(a).c_str());
    return 0;
}

}  // namespace kos
