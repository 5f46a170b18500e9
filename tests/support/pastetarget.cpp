// pastetarget OUT CLASS: a window with one text field. Whatever the field holds is written to
// OUT after each change, and each key press with modifiers to OUT.keys, one a line (and a paste
// that found nothing on the clipboard). CLASS is its WM_CLASS class; for a terminal's class it
// pastes on Ctrl+Shift+V, as terminals do.

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QKeyEvent>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QSaveFile>

namespace {

class Field : public QPlainTextEdit {
public:
    Field(const QString &out, bool terminal)
        : m_out(out)
        , m_terminal(terminal) {
        connect(this, &QPlainTextEdit::textChanged, this, [this] {
            QSaveFile f(m_out);
            if (f.open(QIODevice::WriteOnly)) {
                f.write(toPlainText().toUtf8());
                f.commit();
            }
        });
    }

protected:
    void keyPressEvent(QKeyEvent *event) override {
        // Unbuffered: the key is in the file before the paste it makes changes OUT.
        QFile keys(m_out + QStringLiteral(".keys"));
        if (keys.open(QIODevice::Append | QIODevice::Unbuffered))
            keys.write(QKeySequence(event->keyCombination()).toString().toUtf8() + '\n');
        // Qt 6.4 crashes pasting a clipboard without formats; this says so and goes on.
        if (event->matches(QKeySequence::Paste) &&
            QGuiApplication::clipboard()->mimeData()->formats().isEmpty()) {
            if (keys.isOpen())
                keys.write("paste with an empty clipboard\n");
            return;
        }
        if (m_terminal && event->key() == Qt::Key_V &&
            event->modifiers() == (Qt::ControlModifier | Qt::ShiftModifier)) {
            insertPlainText(QGuiApplication::clipboard()->text());
            return;
        }
        QPlainTextEdit::keyPressEvent(event);
    }

private:
    QString m_out;
    bool m_terminal;
};

} // namespace

int main(int argc, char *argv[]) {
    QApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() < 3)
        return 2;
    QCoreApplication::setApplicationName(args.at(2));
    const bool terminal = args.at(2).contains(QLatin1String("terminal"), Qt::CaseInsensitive);
    Field field(args.at(1), terminal);
    field.setWindowTitle(QStringLiteral("paste target"));
    field.resize(400, 200);
    field.show();
    return app.exec();
}
