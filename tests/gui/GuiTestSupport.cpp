#include "GuiTestSupport.h"

#include <QApplication>
#include <QTextItem>
#include <cstdlib>

#include "app/KosTemplates.h"

namespace kos::test {

void ensureGuiApp() {
    static TempDir* home = nullptr;
    if (!home) {
        home = new TempDir;
        setenv("HOME", home->path().c_str(), 1);
        setenv("XDG_CONFIG_HOME", (home->path() + "/config").c_str(), 1);
        // No kos-online of the machine takes the tests' article transfers.
        setenv("XDG_RUNTIME_DIR", home->path().c_str(), 1);
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
    }
    static int argc = 1;
    static char name[] = "test_gui";
    static char* argv[] = {name, nullptr};
    if (!QApplication::instance())
        new QApplication(argc, argv);
}

void drainEvents() {
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
    }
}

GuiFixture::GuiFixture(bool start) {
    ensureGuiApp();
    store = std::make_unique<QtSettingsStore>(QString::fromStdString(dir.file("KOS.ini")));
    app = std::make_unique<EcrServiceApp>(*store, prompt, files, addKosTemplates);
    if (start && !app->initInstance())
        throw std::runtime_error("main frame not created");
}

GuiFixture::~GuiFixture() {
    app.reset();
    drainEvents();
}

std::vector<std::string> GuiFixture::texts() const {
    std::vector<std::string> t;
    for (const auto& s : prompt.shown)
        t.push_back(s.text);
    return t;
}

bool GuiFixture::shown(const std::string& text) const {
    for (const auto& s : prompt.shown)
        if (s.text == text)
            return true;
    return false;
}

namespace {

class RecordingEngine final : public QPaintEngine {
public:
    explicit RecordingEngine(RecordingDevice& device)
        : QPaintEngine(QPaintEngine::AllFeatures), device_(device) {}
    bool begin(QPaintDevice*) override { return true; }
    bool end() override { return true; }
    void updateState(const QPaintEngineState&) override {}
    void drawPixmap(const QRectF&, const QPixmap&, const QRectF&) override {}
    void drawTextItem(const QPointF& p, const QTextItem& item) override {
        device_.texts.push_back({p, item.text()});
    }
    void drawLines(const QLineF* lines, int count) override {
        for (int i = 0; i < count; ++i)
            device_.lines.push_back(lines[i]);
    }
    void drawLines(const QLine* lines, int count) override {
        for (int i = 0; i < count; ++i)
            device_.lines.push_back(QLineF(lines[i]));
    }
    void drawPath(const QPainterPath&) override {}
    Type type() const override { return QPaintEngine::User; }

private:
    RecordingDevice& device_;
};

}  // namespace

RecordingDevice::RecordingDevice(int width, int height, int dpi)
    : width_(width), height_(height), dpi_(dpi), engine_(new RecordingEngine(*this)) {}

RecordingDevice::~RecordingDevice() = default;

QPaintEngine* RecordingDevice::paintEngine() const {
    return engine_.get();
}

int RecordingDevice::metric(PaintDeviceMetric metric) const {
    switch (metric) {
        case PdmWidth:
            return width_;
        case PdmHeight:
            return height_;
        case PdmWidthMM:
            return width_ * 254 / (dpi_ * 10);
        case PdmHeightMM:
            return height_ * 254 / (dpi_ * 10);
        case PdmDpiX:
        case PdmDpiY:
        case PdmPhysicalDpiX:
        case PdmPhysicalDpiY:
            return dpi_;
        case PdmDepth:
            return 32;
        case PdmNumColors:
            return 0x7fffffff;
        case PdmDevicePixelRatio:
            return 1;
        case PdmDevicePixelRatioScaled:
            return int(QPaintDevice::devicePixelRatioFScale());
    }
    return 0;
}

}  // namespace kos::test
