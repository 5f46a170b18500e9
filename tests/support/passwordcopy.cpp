// passwordcopy TEXT: puts TEXT on the clipboard as a password manager does, marked with
// x-kde-passwordManagerHint: secret beside the text, and serves it until it is killed.

#include <QApplication>
#include <QClipboard>
#include <QMimeData>

int main(int argc, char **argv) {
    QApplication app(argc, argv);
    if (argc != 2)
        return 2;
    const QByteArray text(argv[1]);
    auto *data = new QMimeData;
    data->setData(QStringLiteral("text/plain;charset=utf-8"), text);
    data->setData(QStringLiteral("text/plain"), text);
    data->setData(QStringLiteral("x-kde-passwordManagerHint"), QByteArrayLiteral("secret"));
    QApplication::clipboard()->setMimeData(data, QClipboard::Clipboard);
    return app.exec();
}
