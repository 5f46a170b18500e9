// passwordcopy TEXT: puts TEXT on the clipboard as a password manager does, marked with
// x-kde-passwordManagerHint: secret beside the text, and serves it until it is killed.
// passwordcopy --on-key TEXT: the same once a key is pressed in its window ("password manager"):
// Wayland takes a copy only from the window that has the keyboard, for an input event.

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QMimeData>
#include <QWidget>

namespace {

void copyMarked(const QByteArray &text) {
    auto *data = new QMimeData;
    data->setData(QStringLiteral("text/plain;charset=utf-8"), text);
    data->setData(QStringLiteral("text/plain"), text);
    data->setData(QStringLiteral("x-kde-passwordManagerHint"), QByteArrayLiteral("secret"));
    QApplication::clipboard()->setMimeData(data, QClipboard::Clipboard);
}

class KeyWindow : public QWidget {
public:
    explicit KeyWindow(QByteArray text)
        : m_text(std::move(text)) {
        setWindowTitle(QStringLiteral("password manager"));
        resize(200, 100);
    }

protected:
    void keyPressEvent(QKeyEvent *) override {
        copyMarked(m_text);
        setWindowTitle(QStringLiteral("password manager copied"));
    }

private:
    QByteArray m_text;
};

} // namespace

int main(int argc, char **argv) {
    QApplication app(argc, argv);
    if (argc == 3 && QByteArray(argv[1]) == "--on-key") {
        KeyWindow window{QByteArray(argv[2])};
        window.show();
        return app.exec();
    }
    if (argc != 2)
        return 2;
    copyMarked(QByteArray(argv[1]));
    return app.exec();
}
