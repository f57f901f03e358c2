// The ".dat" file byte for byte, its older schemas, and files it must refuse without harm.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "ArticleSupport.h"
#include "articles/EcrDoc.h"
#include "support/ScriptedPrompt.h"
#include "support/TempDir.h"

namespace kos::test {
namespace {

const std::string CLASS_DESCRIPTION = hexBytes({0xFF, 0xFF, 0x03, 0x00, 0x07, 0x00}) + "Article";
const std::string COLA_BODY = hexBytes({0, 0, 0, 0, 0, 0, 0x12, 4, 'C', 'O', 'L', 'A', 0xFA, 0,
                                        0, 0, 0, 0, 0, 0, 0,    0, 0,   0,   0,   0,   0});
const std::string EMPTY_HEADER(6, '\0');

void addCola(EcrDoc& doc) {
    auto a = makeArticle("12", "COLA");
    a->modified = false;
    ASSERT_TRUE(doc.articles.add(a));
}

TEST(DatFile, WritesTheExactBytes) {
    EcrDoc doc;
    EXPECT_EQ(std::string(8, '\0'), doc.toDat());
    addCola(doc);
    EXPECT_EQ(hexBytes({1, 0}) + CLASS_DESCRIPTION + COLA_BODY + EMPTY_HEADER, doc.toDat());

    auto second = makeArticle("13", "PEPSI");
    ASSERT_TRUE(doc.articles.add(second));
    const std::string data = doc.toDat();
    EXPECT_EQ(2, data[0]);
    EXPECT_EQ(hexBytes({0x01, 0x80}),
              data.substr(2 + CLASS_DESCRIPTION.size() + COLA_BODY.size(), 2));
}

TEST(DatFile, ReadsEveryFormItAccepts) {
    struct Case {
        const char* what;
        std::string data;
        bool modified;
        int32_t quantity;
    };
    const std::string schema1Body = COLA_BODY.substr(0, COLA_BODY.size() - 9);
    const std::string schema2Body = COLA_BODY.substr(0, COLA_BODY.size() - 8);
    std::string schema1Class = CLASS_DESCRIPTION;
    schema1Class[2] = 1;
    std::string schema2Class = CLASS_DESCRIPTION;
    schema2Class[2] = 2;
    std::string withTotals = COLA_BODY;
    withTotals[COLA_BODY.size() - 8] = 7;  // quantity 7 thousandths
    const Case cases[] = {
        {"schema 1: modified, no totals",
         hexBytes({1, 0}) + schema1Class + schema1Body + EMPTY_HEADER, true, 0},
        {"schema 2", hexBytes({1, 0}) + schema2Class + schema2Body + EMPTY_HEADER, false, 0},
        {"long count form",
         hexBytes({0xFF, 0xFF, 1, 0, 0, 0}) + CLASS_DESCRIPTION + withTotals + EMPTY_HEADER, false,
         7},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EcrDoc doc;
        ASSERT_EQ(DatStatus::Ok, doc.fromDat(c.data));
        ASSERT_EQ(1, doc.articles.count());
        const Article& a = *doc.articles.getAt(0);
        EXPECT_EQ("COLA", a.name);
        EXPECT_EQ(250, a.price);
        EXPECT_EQ(c.modified, a.modified);
        EXPECT_EQ(c.quantity, a.saleQuantity);
    }
}

TEST(DatFile, RoundTripsLongNamesUtf16AndHeader) {
    EcrDoc doc;
    auto a = makeArticle("99999999999999", std::string(300, 'N'));
    a->openPrice = true;
    a->saleValue = -5;
    ASSERT_TRUE(doc.articles.add(a));
    doc.header.lines = {"SKLEP", "", "UL. \xA3\xD3KOWA", std::string(18, 'X'), "NIP"};
    doc.header.alignment = ECRHeader::RIGHT;
    const std::string data = doc.toDat();
    // 300 bytes take the three-byte prefix 0xFF 0x2C 0x01.
    EXPECT_NE(std::string::npos, data.find(hexBytes({0xFF, 0x2C, 0x01}) + "NNN"));
    EcrDoc back;
    ASSERT_EQ(DatStatus::Ok, back.fromDat(data));
    EXPECT_EQ(data, back.toDat());

    // A UTF-16 header line ("Ł") is read and converted to code page 1250.
    const std::string utf16Header = hexBytes({0, 0xFF, 0xFE, 0xFF, 1, 0x41, 0x01, 0, 0, 0, 0});
    ASSERT_EQ(DatStatus::Ok, back.fromDat(hexBytes({0, 0}) + utf16Header));
    EXPECT_EQ("\xA3", back.header.lines[0]);
}

TEST(DatFile, RefusesBadFilesAndKeepsTheOpenDocument) {
    EcrDoc good;
    addCola(good);
    auto pepsi = makeArticle("13", "PEPSI");
    ASSERT_TRUE(good.articles.add(pepsi));
    good.header.lines[0] = std::string(260, 'H');  // a long string prefix in the cut range
    const std::string data = good.toDat();

    std::string schema4 = data, otherClass = data, wrongTag = data, secondNewClass = data;
    schema4[4] = 4;
    otherClass[8] = 'X';
    const size_t secondTag = 2 + CLASS_DESCRIPTION.size() + COLA_BODY.size();
    wrongTag[secondTag] = 0x02;
    secondNewClass.replace(secondTag, 2, CLASS_DESCRIPTION);
    std::vector<std::pair<std::string, std::string>> bad = {
        {"schema 4", schema4},
        {"unknown class", otherClass},
        {"wrong tag", wrongTag},
        {"second class description", secondNewClass},
        {"first article by class index", hexBytes({1, 0, 1, 0x80}) + COLA_BODY + EMPTY_HEADER},
        {"huge count",
         hexBytes({0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}) + CLASS_DESCRIPTION + COLA_BODY},
        {"huge string", hexBytes({0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 'x'})},
    };
    for (size_t n = 0; n < data.size(); ++n)
        bad.push_back({"cut at " + std::to_string(n), data.substr(0, n)});

    EcrDoc doc;
    addCola(doc);
    for (const auto& [what, bytes] : bad) {
        SCOPED_TRACE(what);
        EXPECT_EQ(DatStatus::BadFormat, doc.fromDat(bytes));
        ASSERT_EQ(1, doc.articles.count());
    }

    TempDir dir;
    writeFile(dir.file("bad.dat"), schema4);
    ScriptedPrompt prompt;
    EXPECT_FALSE(doc.open(dir.file("bad.dat"), prompt));
    EXPECT_FALSE(doc.open(dir.file("missing.dat"), prompt));
    ASSERT_EQ(2u, prompt.shown.size());
    EXPECT_EQ("Unexpected file format.", prompt.shown[0].text);
    EXPECT_EQ("Failed to open document.", prompt.shown[1].text);
}

TEST(DatFile, FailedSaveLeavesTheOldFile) {
    TempDir dir;
    const std::string path = dir.file("a.dat");
    EcrDoc doc;
    addCola(doc);
    doc.setModified();
    ScriptedPrompt prompt;
    ASSERT_TRUE(doc.save(path, prompt));
    EXPECT_FALSE(doc.isModified());
    const std::string old = readFile(path);

    // The temporary file cannot be created: a folder has its name.
    ASSERT_EQ(0, mkdir((path + ".tmp").c_str(), 0755));
    doc.articles.removeAll();
    doc.setModified();
    EXPECT_FALSE(doc.save(path, prompt));
    EXPECT_TRUE(doc.isModified());
    EXPECT_EQ(old, readFile(path));
    ASSERT_EQ(1u, prompt.shown.size());
    EXPECT_EQ("Failed to save document.", prompt.shown[0].text);
}

}  // namespace
}  // namespace kos::test
