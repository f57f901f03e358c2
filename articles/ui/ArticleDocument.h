// The article document ("Artykuły", "*.dat") in the window layer: file commands, the "Okno"
// commands that bring its article list or header view forward, and what its windows share.
#pragma once

#include "articles/EcrDoc.h"
#include "shell/UiDocument.h"

namespace kos {

// Names of the document's two views.
inline constexpr const char* ARTICLES_VIEW = "articles";
inline constexpr const char* HEADER_VIEW = "header";

class ArticleDocument : public UiDocument {
    Q_OBJECT
public:
    ArticleDocument(DocTemplate& docTemplate, DocManager& manager);

    EcrDoc& core() { return core_; }

    bool isModified() const override { return core_.isModified(); }
    void setModified(bool modified) override;

    bool onNewDocument() override;
    bool onOpenDocument(const QString& path) override;
    bool onSaveDocument(const QString& path) override;

    bool updateCommand(int id, CommandState& state) override;
    bool runCommand(int id) override;

    // True while an online document of the program communicates: it then owns the serial line.
    bool lineBusy() const;

Q_SIGNALS:
    // The articles were replaced as a whole: article views refill their lists.
    void contentsReset();
    // The header changed: header views redraw.
    void headerChanged();

private:
    EcrDoc core_;
};

}  // namespace kos
