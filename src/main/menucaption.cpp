#include "main/menucaption.h"

#include <QAction>

void setLiteralCaption(QAction *item, const QString &caption, QChar accessKey) {
    item->setData(caption);
    QString shown;
    shown.reserve(caption.size() + 4);
    if (!accessKey.isNull())
        shown += QLatin1Char('&') + accessKey + QStringLiteral("  ");
    for (const QChar c : caption) {
        if (c == QLatin1Char('&'))
            shown += QStringLiteral("&&");
        else if (c.category() == QChar::Other_Control)
            shown += QLatin1Char(' ');
        else
            shown += c;
    }
    item->setText(shown);
}

QString literalCaption(const QAction *item) {
    return item->data().toString();
}
