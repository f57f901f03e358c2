#include "shell/DocTemplate.h"

#include <QStringList>

namespace kos {

DocTemplate::DocTemplate(const QString& docString, Factory factory)
    : fields_(docString.split(QLatin1Char('\n'))), factory_(std::move(factory)) {}

QString DocTemplate::field(int i) const {
    return i < fields_.size() ? fields_.at(i) : QString();
}

QString DocTemplate::untitledTitle(int n) const {
    QString base = docName();
    if (base.isEmpty())
        base = windowTitle();
    if (base.isEmpty())
        return QStringLiteral("Bez tytułu");
    return base + QString::number(n);
}

}  // namespace kos
