#pragma once

#include <QString>

class QAction;

// Menu items whose caption is user text (entries, clippings) keep that text exactly, while the
// menu shows it literally: an "&" is no access key and a line break does not break the item.
// `accessKey` is shown before the caption and chooses the item from the keyboard ("1", "a").
void setLiteralCaption(QAction *item, const QString &caption, QChar accessKey = {});
QString literalCaption(const QAction *item);
