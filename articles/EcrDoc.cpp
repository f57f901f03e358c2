#include "articles/EcrDoc.h"

#include "base/DocumentFile.h"

namespace kos {

void EcrDoc::clear() {
    articles.removeAll();
    lastPlu = Plu();
    lastOpenPrice = false;
    header.clear();
    modified_ = false;
}

DatStatus EcrDoc::fromDat(const std::string& data) {
    Articles read;
    ECRHeader readHeader;
    const DatStatus status = readDat(data, read, readHeader);
    if (status != DatStatus::Ok)
        return status;
    clear();
    articles.swap(read);  // the old articles go with read
    header = readHeader;
    return DatStatus::Ok;
}

DatStatus EcrDoc::readFile(const std::string& path) {
    std::string data;
    if (!readWholeFile(path, data))
        return DatStatus::ReadError;
    return fromDat(data);
}

DatStatus EcrDoc::writeFile(const std::string& path) {
    if (!replaceFile(path, toDat()))
        return DatStatus::WriteError;
    modified_ = false;
    return DatStatus::Ok;
}

bool EcrDoc::open(const std::string& path, Prompt& prompt) {
    switch (readFile(path)) {
        case DatStatus::Ok:
            return true;
        case DatStatus::BadFormat:
            prompt.message(TEXT_UNEXPECTED_FORMAT, PromptIcon::Exclamation);
            return false;
        default:
            prompt.message(TEXT_OPEN_FAILED, PromptIcon::Stop);
            return false;
    }
}

bool EcrDoc::save(const std::string& path, Prompt& prompt) {
    if (writeFile(path) == DatStatus::Ok)
        return true;
    prompt.message(TEXT_SAVE_FAILED, PromptIcon::Stop);
    return false;
}

}  // namespace kos
