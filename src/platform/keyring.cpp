#include "platform/keyring.h"

#include <QCoreApplication>
#include <QPointer>
#include <QThread>

#ifdef SNAPVALE_HAVE_LIBSECRET
// libsecret's headers use `signals` as a name.
#undef signals
#include <libsecret/secret.h>
#define signals Q_SIGNALS

#include <dlfcn.h>

#include <type_traits>
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

// libsecret and the GLib libraries it brings (gio, gobject, libmount and more) cost a few
// milliseconds and over a MiB at every start, for a feature most runs never use: they are
// loaded with the first call, on the keyring's thread.
struct Library {
    decltype(&secret_value_new) valueNew = nullptr;
    decltype(&secret_value_get) valueGet = nullptr;
    decltype(&secret_value_unref) valueUnref = nullptr;
    decltype(&secret_password_store_binary_sync) store = nullptr;
    decltype(&secret_password_lookup_binary_sync) lookup = nullptr;
    decltype(&secret_password_clear_sync) clear = nullptr;
    decltype(&g_dbus_error_quark) dbusErrorQuark = nullptr;
    decltype(&g_error_free) errorFree = nullptr;
    QString error;
};

const Library &library() {
    static const Library loaded = [] {
        Library l;
        void *handle = ::dlopen("libsecret-1.so.0", RTLD_NOW | RTLD_LOCAL);
        const auto resolve = [handle](auto &function, const char *name) {
            function = reinterpret_cast<std::remove_reference_t<decltype(function)>>(
                ::dlsym(handle, name));
            return function != nullptr;
        };
        if (!handle || !resolve(l.valueNew, "secret_value_new") ||
            !resolve(l.valueGet, "secret_value_get") ||
            !resolve(l.valueUnref, "secret_value_unref") ||
            !resolve(l.store, "secret_password_store_binary_sync") ||
            !resolve(l.lookup, "secret_password_lookup_binary_sync") ||
            !resolve(l.clear, "secret_password_clear_sync") ||
            !resolve(l.dbusErrorQuark, "g_dbus_error_quark") ||
            !resolve(l.errorFree, "g_error_free"))
            l.error = Keyring::tr("The Secret Service library could not be loaded: %1")
                          .arg(QString::fromLocal8Bit(::dlerror()));
        return l;
    }();
    return loaded;
}

// The Secret Service's reason, in words a user can act on where it is the usual one.
QString reasonOf(GError *error) {
    if (!error)
        return Keyring::tr("The Secret Service refused.");
    QString why;
    if (error->domain == library().dbusErrorQuark() && error->code == G_DBUS_ERROR_SERVICE_UNKNOWN)
        why = Keyring::tr("No Secret Service is running (such as GNOME Keyring or KeePassXC).");
    else
        why = QString::fromUtf8(error->message);
    library().errorFree(error);
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
        const Library &secret = library();
        answer.why = secret.error;
        switch (secret.error.isEmpty() ? call : Call::Unavailable) {
        case Call::Unavailable:
            break;
        case Call::Store: {
            // The item's label is the same in every language: users find it by it.
            const QByteArray label = QByteArrayLiteral("Snapvale entry ") + entry;
            SecretValue *value = secret.valueNew(utf8.constData(), utf8.size(), "text/plain");
            const bool stored = secret.store(
                entrySchema(), SECRET_COLLECTION_DEFAULT, label.constData(), value, nullptr, &error,
                "store", store.constData(), "entry", entry.constData(), nullptr);
            secret.valueUnref(value);
            answer.status = stored ? Status::Done : Status::Failed;
            if (!stored)
                answer.why = reasonOf(error);
            break;
        }
        case Call::Lookup: {
            SecretValue *value =
                secret.lookup(entrySchema(), nullptr, &error, "store", store.constData(), "entry",
                              entry.constData(), nullptr);
            if (value) {
                gsize length = 0;
                const gchar *bytes = secret.valueGet(value, &length);
                answer.utf8 = QByteArray(bytes, qsizetype(length));
                answer.status = Status::Done;
                secret.valueUnref(value);
            } else {
                answer.status = error ? Status::Failed : Status::Missing;
                if (error)
                    answer.why = reasonOf(error);
            }
            break;
        }
        case Call::Remove:
            secret.clear(entrySchema(), nullptr, &error, "store", store.constData(), "entry",
                         entry.constData(), nullptr);
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
