// Shared pieces of the window tests: the application object of the process, a settings store
// in a fresh folder, scripted file dialogs, a started KOS, and a paint device that records text.
#pragma once

#include <QPaintDevice>
#include <QPaintEngine>
#include <QString>
#include <deque>
#include <memory>
#include <vector>

#include "base/qt/QtSettingsStore.h"
#include "shell/EcrServiceApp.h"
#include "shell/FileChooser.h"
#include "support/ScriptedPrompt.h"
#include "support/TempDir.h"

namespace kos::test {

// The QApplication of the test program; HOME and XDG_CONFIG_HOME point at a private folder.
void ensureGuiApp();
// Runs posted events, deferred deletions included.
void drainEvents();

class ScriptedFileChooser final : public FileChooser {
public:
    QString openFileName(QWidget*, const QString& filter) override {
        openFilters.push_back(filter);
        return next();
    }
    QString saveFileName(QWidget*, const SaveFileRequest& request) override {
        saveRequests.push_back(request);
        return next();
    }
    int chooseDocumentType(QWidget*, const QStringList& names) override {
        typeChoices.push_back(names);
        if (typeAnswers.empty())
            return -1;
        int a = typeAnswers.front();
        typeAnswers.pop_front();
        return a;
    }
    // Answers in order; an empty answer (or none left) is Cancel.
    std::deque<QString> answers;
    std::vector<QString> openFilters;
    std::vector<SaveFileRequest> saveRequests;
    std::deque<int> typeAnswers;  // index of the chosen type; none left is Cancel
    std::vector<QStringList> typeChoices;

private:
    QString next() {
        if (answers.empty())
            return {};
        QString a = answers.front();
        answers.pop_front();
        return a;
    }
};

// KOS started on a settings file of its own, with scripted boxes and dialogs.
struct GuiFixture {
    explicit GuiFixture(bool start = true);
    ~GuiFixture();

    // Texts of the message boxes shown so far.
    std::vector<std::string> texts() const;
    bool shown(const std::string& text) const;

    TempDir dir;
    std::unique_ptr<QtSettingsStore> store;
    ScriptedPrompt prompt;
    ScriptedFileChooser files;
    std::unique_ptr<EcrServiceApp> app;
};

// Paint device whose engine records every text drawn and every line.
class RecordingDevice : public QPaintDevice {
public:
    struct Text {
        QPointF pos;
        QString text;
    };
    RecordingDevice(int width, int height, int dpi);
    ~RecordingDevice() override;
    QPaintEngine* paintEngine() const override;
    std::vector<Text> texts;
    std::vector<QLineF> lines;

protected:
    int metric(PaintDeviceMetric metric) const override;

private:
    int width_, height_, dpi_;
    std::unique_ptr<QPaintEngine> engine_;
};

}  // namespace kos::test
