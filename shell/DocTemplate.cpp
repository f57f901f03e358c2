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

void DocTemplate::addView(const QString& name, ViewFactory make) {
    views_.push_back({name, std::move(make)});
}

QStringList DocTemplate::viewNames() const {
    QStringList names;
    for (const View& v : views_)
        names << v.name;
    return names;
}

QString DocTemplate::defaultView() const {
    return views_.empty() ? QString() : views_.front().name;
}

QWidget* DocTemplate::createView(const QString& name, UiDocument& doc, QWidget* parent) const {
    for (const View& v : views_)
        if (v.name == name)
            return v.make(doc, parent);
    return nullptr;
}

}  // namespace kos
