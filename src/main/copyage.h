#pragma once

#include <QCoreApplication>
#include <QString>

// How long ago a text was copied, as a list row shows it ("5 min") and as a screen reader says
// it ("Copied 5 minutes ago").
class CopyAge {
    Q_DECLARE_TR_FUNCTIONS(CopyAge)
public:
    static QString brief(qint64 seconds);
    static QString spoken(qint64 seconds);
};
