// The article document: the article list, the receipt header, and what the article dialog
// remembers between two new articles. Opened from and saved to a ".dat" file.
#pragma once

#include <string>

#include "articles/Articles.h"
#include "articles/DatFile.h"
#include "articles/ECRHeader.h"
#include "base/Prompt.h"
#include "link/Plu.h"

namespace kos {

class EcrDoc {
public:
    Articles articles;
    Plu lastPlu;  // PLU of the last article confirmed in the dialog; not stored
    bool lastOpenPrice = false;
    ECRHeader header;

    bool isModified() const { return modified_; }
    void setModified(bool modified = true) { modified_ = modified; }

    // Back to a new document: no articles, empty header, lastPlu 0.
    void clear();

    std::string toDat() const { return writeDat(articles, header); }
    // Replaces the contents only when the whole data is read; a refused file changes nothing.
    DatStatus fromDat(const std::string& data);
    DatStatus readFile(const std::string& path);
    // Through a synced temporary file: a failed save leaves the old file as it was.
    DatStatus writeFile(const std::string& path);
    // The same with the user told of a failure; true when opened / saved.
    bool open(const std::string& path, Prompt& prompt);
    bool save(const std::string& path, Prompt& prompt);

private:
    bool modified_ = false;
};

}  // namespace kos
