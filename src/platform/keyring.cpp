#include "platform/keyring.h"

#include <QCoreApplication>
#include <QPointer>
#include <QThread>

#ifdef SNAPVALE_HAVE_LIBSECRET
// libsecret's headers use `signals` as a name.
#undef signals
#include <libsecret/secret.h>
#define signals Q_SIGNALS
#endif

namespace {

#ifdef SNAPVALE_HAVE_LIBSECRET
const SecretSchema *entrySchema() {
    static const SecretSchema schema = {"io.github.snapvale.Entry",
                                        SECRET_SCHEMA_NONE,
                                        {{"store", SECRET_SCHEMA_ATTRIBUTE_STRING},
                                         {"entry", SECRET_SCHEMA_ATTRIBUTE_STRING},
                                         {nullptr, SECRET_SCHEMA_ATTRIBUTE_STRING}},
                                        0,
                                        nullptr,
                                        nullptr,
                                        nullptr,
                                        nullptr,
                                        nullptr,
                                        nullptr,
                                        nullptr};
    return &schema;
}

// The Secret Service's reason, in words a user can act on where it is the usual one.
QString reasonOf(GError *error) {
    if (!error)
        return Keyring::tr("The Secret Service refused.");
    QString why;
    if (error->domain == G_DBUS_ERROR && error->code == G_DBUS_ERROR_SERVICE_UNKNOWN)
        why = Keyring::tr("No Secret Service is running (such as GNOME Keyring or KeePassXC).");
    else
        why = QString::fromUtf8(error->message);
    g_error_free(error);
    return why;
}
#endif

} // namespace

Keyring::Keyring(const QString &storePath, QObject *parent)
    : QObject(parent)
    , m_storePath(storePath)
    , m_thread(new QThread(this))
    , m_worker(new QObject) {
    m_thread->setObjectName(QStringLiteral("keyring"));
    m_worker->moveToThread(m_thread);
    connect(m_thread, &QThread::finished, m_worker, &QObject::deleteLater);
    m_thread->start();
}

Keyring::~Keyring() {
    // Calls already made are finished: a secret handed over is kept.
    m_thread->quit();
    m_thread->wait();
}

bool Keyring::supported() {
#ifdef SNAPVALE_HAVE_LIBSECRET
    return true;
#else
    return false;
#endif
}

void Keyring::store(int n, const QByteArray &utf8, Done done) {
    run(Call::Store, n, utf8, std::move(done));
}

void Keyring::lookup(int n, Done done) {
    run(Call::Lookup, n, QByteArray(), std::move(done));
}

void Keyring::remove(int n, Done done) {
    run(Call::Remove, n, QByteArray(), std::move(done));
}

void Keyring::run(Call call, int n, const QByteArray &utf8, Done done) {
    QPointer<Keyring> self(this);
    const QByteArray store = m_storePath.toUtf8();
    QMetaObject::invokeMethod(m_worker, [self, call, n, utf8, store, done] {
        SecretKeeper::Answer answer;
#ifdef SNAPVALE_HAVE_LIBSECRET
        const QByteArray entry = QByteArray::number(n);
        GError *error = nullptr;
        switch (call) {
        case Call::Store: {
            // The item's label is the same in every language: users find it by it.
            const QByteArray label = QByteArrayLiteral("Snapvale entry ") + entry;
            SecretValue *value = secret_value_new(utf8.constData(), utf8.size(), "text/plain");
            const bool stored = secret_password_store_binary_sync(
                entrySchema(), SECRET_COLLECTION_DEFAULT, label.constData(), value, nullptr, &error,
                "store", store.constData(), "entry", entry.constData(), nullptr);
            secret_value_unref(value);
            answer.status = stored ? Status::Done : Status::Failed;
            if (!stored)
                answer.why = reasonOf(error);
            break;
        }
        case Call::Lookup: {
            SecretValue *value = secret_password_lookup_binary_sync(
                entrySchema(), nullptr, &error, "store", store.constData(), "entry",
                entry.constData(), nullptr);
            if (value) {
                gsize length = 0;
                const gchar *bytes = secret_value_get(value, &length);
                answer.utf8 = QByteArray(bytes, qsizetype(length));
                answer.status = Status::Done;
                secret_value_unref(value);
            } else {
                answer.status = error ? Status::Failed : Status::Missing;
                if (error)
                    answer.why = reasonOf(error);
            }
            break;
        }
        case Call::Remove:
            secret_password_clear_sync(entrySchema(), nullptr, &error, "store", store.constData(),
                                       "entry", entry.constData(), nullptr);
            answer.status = error ? Status::Failed : Status::Done;
            if (error)
                answer.why = reasonOf(error);
            break;
        }
#else
        Q_UNUSED(call);
        Q_UNUSED(n);
        Q_UNUSED(utf8);
        Q_UNUSED(store);
        answer.why = tr("This system has no Secret Service.");
#endif
        QMetaObject::invokeMethod(
            QCoreApplication::instance(),
            [self, done, answer] {
                if (self)
                    done(answer);
            },
            Qt::QueuedConnection);
    });
}
