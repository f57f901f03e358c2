#include "articles/DatFile.h"

#include <cstring>

#include "base/DocumentFile.h"

namespace kos {

namespace {

constexpr uint16_t NEW_CLASS_TAG = 0xFFFF;
constexpr uint16_t CLASS_TAG = 0x8000;
constexpr uint16_t FIRST_CLASS_TAG = CLASS_TAG | 1;

// The class description after a new-class tag; true when it is Article of a known schema.
bool readClass(ByteReader& in, uint16_t& schema) {
    uint16_t length = 0;
    std::string name;
    if (!in.u16(schema) || !in.u16(length) || !in.bytes(name, length))
        return false;
    return name == Article::CLASS_NAME && schema >= 1 && schema <= Article::SCHEMA;
}

}  // namespace

std::string writeDat(const Articles& articles, const ECRHeader& header) {
    ByteWriter out;
    writeArchiveCount(out, static_cast<size_t>(articles.count()));
    bool first = true;
    for (const Article* a : articles) {
        if (first) {
            out.u16(NEW_CLASS_TAG);
            out.u16(Article::SCHEMA);
            out.u16(static_cast<uint16_t>(std::strlen(Article::CLASS_NAME)));
            out.bytes(Article::CLASS_NAME, std::strlen(Article::CLASS_NAME));
            first = false;
        } else {
            out.u16(FIRST_CLASS_TAG);
        }
        a->serialize(out);
    }
    header.serialize(out);
    return out.data();
}

DatStatus readDat(const std::string& data, Articles& articles, ECRHeader& header) {
    ByteReader in(data);
    uint32_t n = 0;
    if (!readArchiveCount(in, n))
        return DatStatus::BadFormat;
    uint16_t schema = 0;  // 0 until the class has been described
    for (uint32_t i = 0; i < n; ++i) {
        uint16_t tag = 0;
        if (!in.u16(tag))
            return DatStatus::BadFormat;
        if (tag == NEW_CLASS_TAG && schema == 0) {
            if (!readClass(in, schema))
                return DatStatus::BadFormat;
        } else if (!(tag == FIRST_CLASS_TAG && schema != 0)) {
            return DatStatus::BadFormat;
        }
        auto article = std::make_unique<Article>();
        if (!article->deserialize(in, schema))
            return DatStatus::BadFormat;
        articles.append(std::move(article));
    }
    return header.deserialize(in) ? DatStatus::Ok : DatStatus::BadFormat;
}

}  // namespace kos
