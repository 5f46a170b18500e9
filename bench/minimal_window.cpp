// The floor for start-up and memory: a plain Qt Widgets window of six tabs and 30 rows of a
// button and a field, and nothing else. With --exit-after-paint it ends after its first paint.
#include <QApplication>
#include <QGridLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>

namespace {
class PaintWatcher : public QObject {
public:
    bool eventFilter(QObject *, QEvent *event) override {
        if (event->type() == QEvent::Paint && !m_done) {
            m_done = true;
            QTimer::singleShot(0, qApp, [] { QCoreApplication::exit(0); });
        }
        return false;
    }

private:
    bool m_done = false;
};
} // namespace

int main(int argc, char *argv[]) {
    QApplication app(argc, argv);
    QTabWidget tabs;
    for (int tab = 0; tab < 6; ++tab) {
        auto *page = new QWidget;
        auto *grid = new QGridLayout(page);
        for (int row = 0; row < 5; ++row) {
            grid->addWidget(new QPushButton(QString::number(tab * 5 + row + 1)), row, 0);
            grid->addWidget(new QLineEdit, row, 1);
        }
        tabs.addTab(page, QString::number(tab + 1));
    }
    PaintWatcher watcher;
    if (app.arguments().contains(QStringLiteral("--exit-after-paint")))
        app.installEventFilter(&watcher);
    tabs.show();
    return app.exec();
}
