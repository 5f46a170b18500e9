#include "main/copyage.h"

QString CopyAge::brief(qint64 seconds) {
    if (seconds < 60)
        return tr("now");
    if (seconds < 3600)
        return tr("%1 min").arg(seconds / 60);
    if (seconds < 86400)
        return tr("%1 h").arg(seconds / 3600);
    return tr("%1 d").arg(seconds / 86400);
}

QString CopyAge::spoken(qint64 seconds) {
    if (seconds < 60)
        return tr("Copied just now");
    const qint64 minutes = seconds / 60, hours = seconds / 3600, days = seconds / 86400;
    if (seconds < 3600)
        return minutes == 1 ? tr("Copied 1 minute ago") : tr("Copied %1 minutes ago").arg(minutes);
    if (seconds < 86400)
        return hours == 1 ? tr("Copied 1 hour ago") : tr("Copied %1 hours ago").arg(hours);
    return days == 1 ? tr("Copied 1 day ago") : tr("Copied %1 days ago").arg(days);
}
