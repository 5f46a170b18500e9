#include "platform/wlclipboardwatch.h"

#include "core/clipboardhistory.h"
#include "platform/keysender.h"

#include <QLoggingCategory>
#include <QProcess>
#include <QStandardPaths>

#ifdef Q_OS_LINUX
#include <csignal>
#include <sys/prctl.h>
#endif

namespace {
Q_LOGGING_CATEGORY(lcWatch, "snapvale.clipboard", QtWarningMsg)
} // namespace

// wl-clipboard 2.1 (Debian 12) sets no CLIPBOARD_STATE: the password managers' mark is looked
// for among the types offered. The rest of a text is read away, so that its owner is never left
// writing into a closed pipe.
const char *const WlClipboardWatch::script =
    "if [ -n \"${CLIPBOARD_STATE-}\" ] && [ \"$CLIPBOARD_STATE\" != data ]; then "
    "echo \"$CLIPBOARD_STATE\"; "
    "elif wl-paste --list-types 2>/dev/null | grep -qx x-kde-passwordManagerHint; then "
    "echo sensitive; "
    "else printf 'data '; head -c \"$1\" | base64 -w0; echo; fi; cat >/dev/null";

QByteArray WlClipboardWatch::textOfRecord(const QByteArray &line) {
    if (!line.startsWith("data "))
        return {};
    const auto decoded = QByteArray::fromBase64Encoding(line.mid(5).trimmed(),
                                                        QByteArray::AbortOnBase64DecodingErrors);
    return decoded ? *decoded : QByteArray();
}

bool WlClipboardWatch::available() {
    return !QStandardPaths::findExecutable(QStringLiteral("wl-paste")).isEmpty() &&
           KeySender::waylandOffers("zwlr_data_control_manager_v1");
}

WlClipboardWatch::WlClipboardWatch(QObject *parent)
    : QObject(parent) {}

WlClipboardWatch::~WlClipboardWatch() {
    stop();
}

bool WlClipboardWatch::isRunning() const {
    return m_process && m_process->state() != QProcess::NotRunning;
}

void WlClipboardWatch::start() {
    if (isRunning())
        return;
    delete m_process;
    m_process = new QProcess(this);
    m_process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_process->setStandardInputFile(QProcess::nullDevice());
    connect(m_process, &QProcess::readyReadStandardOutput, this, &WlClipboardWatch::readRecords);
    connect(m_process, &QProcess::finished, this, [this](int code) {
        qCWarning(lcWatch, "wl-paste --watch ended (%d): copies made elsewhere are not seen", code);
    });
    // One byte over the history's limit is enough to know a text is too large.
    const QString limit = QString::number(ClipboardHistory::maxTextBytes + 1);
#ifdef Q_OS_LINUX
    // Ends with this program, however it ends: a crash leaves no watcher behind.
    m_process->setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
#endif
    m_process->start(QStringLiteral("wl-paste"),
                     {QStringLiteral("--type"), QStringLiteral("text"), QStringLiteral("--watch"),
                      QStringLiteral("sh"), QStringLiteral("-c"), QString::fromLatin1(script),
                      QStringLiteral("sh"), limit});
}

void WlClipboardWatch::stop() {
    if (!m_process)
        return;
    m_process->disconnect(this);
    if (m_process->state() != QProcess::NotRunning) {
        m_process->kill();
        m_process->waitForFinished(1000);
    }
    delete m_process;
    m_process = nullptr;
}

void WlClipboardWatch::readRecords() {
    while (m_process && m_process->canReadLine()) {
        const QByteArray line = m_process->readLine();
        const QByteArray text = textOfRecord(line.chopped(1));
        qCInfo(lcWatch, "wl-paste reported %s", line.split(' ').first().trimmed().constData());
        if (!text.isEmpty())
            emit copied(text);
    }
}
