#include "main/menucaption.h"

#include <QAction>

void setLiteralCaption(QAction *item, const QString &caption) {
    item->setData(caption);
    QString shown;
    shown.reserve(caption.size());
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
