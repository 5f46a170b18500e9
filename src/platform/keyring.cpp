#include "platform/keyring.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QMutex>
#include <QPointer>
#include <QThread>
#include <QWaitCondition>

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
    decltype(&g_cancellable_new) cancellableNew = nullptr;
    decltype(&g_cancellable_cancel) cancel = nullptr;
    decltype(&g_cancellable_reset) reset = nullptr;
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
            !resolve(l.errorFree, "g_error_free") ||
            !resolve(l.cancellableNew, "g_cancellable_new") ||
            !resolve(l.cancel, "g_cancellable_cancel") || !resolve(l.reset, "g_cancellable_reset"))
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

struct Keyring::Pending {
    QMutex mutex;
    QWaitCondition answered;
    int calls = 0;
    bool givenUp = false;
#ifdef SNAPVALE_HAVE_LIBSECRET
    // Cancels the call under way (an unlock prompt is dismissed); made on the thread.
    GCancellable *cancellable = nullptr;
#endif
};

Keyring::Keyring(const QString &storePath, QObject *parent)
    : QObject(parent)
    , m_storePath(storePath)
    , m_thread(new QThread(this))
    , m_worker(new QObject)
    , m_pending(std::make_shared<Pending>()) {
    m_thread->setObjectName(QStringLiteral("keyring"));
    m_worker->moveToThread(m_thread);
    connect(m_thread, &QThread::finished, m_worker, &QObject::deleteLater);
    m_thread->start();
}

Keyring::~Keyring() {
    // Whatever is still waiting (a prompt nobody answers) would keep the program alive unseen.
    giveUp();
    // Behind any call still queued, so that none is dropped unanswered.
    QThread *thread = m_thread;
    QMetaObject::invokeMethod(m_worker, [thread] { thread->quit(); });
    // A Secret Service that ignores the cancel keeps its call: the program ends all the same.
    if (!m_thread->wait(QDeadlineTimer(5000)))
        m_thread->setParent(nullptr);
}

void Keyring::runAnswers() {
    QCoreApplication::sendPostedEvents(QCoreApplication::instance(), QEvent::MetaCall);
}

void Keyring::answer(quint64 id, const Answer &answer) {
    // A call given up is answered already; what its thread says later is dropped.
    const auto waiting = m_waiting.find(id);
    if (waiting == m_waiting.end())
        return;
    const Done done = std::move(waiting.value());
    m_waiting.erase(waiting);
    done(answer);
}

bool Keyring::waitForAnswers(int ms) {
    const QDeadlineTimer deadline(ms);
    for (;;) {
        {
            QMutexLocker lock(&m_pending->mutex);
            if (m_pending->calls > 0 && !deadline.hasExpired())
                m_pending->answered.wait(&m_pending->mutex, deadline);
        }
        // An answer may make another call (a mark, then a removal): those are waited for too.
        runAnswers();
        if (m_waiting.isEmpty())
            return true;
        QMutexLocker lock(&m_pending->mutex);
        if (deadline.hasExpired())
            return false;
    }
}

void Keyring::giveUp() {
    {
        QMutexLocker lock(&m_pending->mutex);
        if (m_pending->calls == 0 && m_waiting.isEmpty())
            return;
        m_pending->givenUp = true;
#ifdef SNAPVALE_HAVE_LIBSECRET
        if (m_pending->cancellable)
            library().cancel(m_pending->cancellable);
#endif
        // A cancelled call returns at once, and the rest are answered without asking.
        const QDeadlineTimer deadline(5000);
        while (m_pending->calls > 0 && !deadline.hasExpired())
            m_pending->answered.wait(&m_pending->mutex, deadline);
        m_pending->givenUp = false;
#ifdef SNAPVALE_HAVE_LIBSECRET
        if (m_pending->cancellable)
            library().reset(m_pending->cancellable);
#endif
    }
    runAnswers();
    // A Secret Service that ignores the cancel still gets an answer for each call, from here.
    Answer ended;
    ended.why = tr("Snapvale ended before the Secret Service answered.");
    while (!m_waiting.isEmpty())
        answer(m_waiting.firstKey(), ended);
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
    const std::shared_ptr<Pending> pending = m_pending;
    {
        QMutexLocker lock(&pending->mutex);
        ++pending->calls;
    }
    // Answered once: by the thread, or as given up if the thread never comes back.
    const quint64 id = ++m_lastCall;
    m_waiting.insert(id, std::move(done));
    QMetaObject::invokeMethod(m_worker, [self, call, n, utf8, store, id, pending] {
        SecretKeeper::Answer answer;
        bool givenUp = false;
#ifdef SNAPVALE_HAVE_LIBSECRET
        const QByteArray entry = QByteArray::number(n);
        GError *error = nullptr;
        const Library &secret = library();
        answer.why = secret.error;
        GCancellable *cancellable = nullptr;
        {
            QMutexLocker lock(&pending->mutex);
            givenUp = pending->givenUp;
            if (!pending->cancellable && secret.error.isEmpty())
                pending->cancellable = secret.cancellableNew();
            cancellable = pending->cancellable;
        }
        switch (givenUp || !secret.error.isEmpty() ? Call::Unavailable : call) {
        case Call::Unavailable:
            break;
        case Call::Store: {
            // The item's label is the same in every language: users find it by it.
            const QByteArray label = QByteArrayLiteral("Snapvale entry ") + entry;
            SecretValue *value = secret.valueNew(utf8.constData(), utf8.size(), "text/plain");
            const bool stored = secret.store(
                entrySchema(), SECRET_COLLECTION_DEFAULT, label.constData(), value, cancellable,
                &error, "store", store.constData(), "entry", entry.constData(), nullptr);
            secret.valueUnref(value);
            answer.status = stored ? Status::Done : Status::Failed;
            if (!stored)
                answer.why = reasonOf(error);
            break;
        }
        case Call::Lookup: {
            SecretValue *value =
                secret.lookup(entrySchema(), cancellable, &error, "store", store.constData(),
                              "entry", entry.constData(), nullptr);
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
            secret.clear(entrySchema(), cancellable, &error, "store", store.constData(), "entry",
                         entry.constData(), nullptr);
            answer.status = error ? Status::Failed : Status::Done;
            if (error)
                answer.why = reasonOf(error);
            break;
        }
        {
            QMutexLocker lock(&pending->mutex);
            givenUp = givenUp || pending->givenUp;
        }
#else
        Q_UNUSED(call);
        Q_UNUSED(n);
        Q_UNUSED(utf8);
        Q_UNUSED(store);
        answer.why = tr("This system has no Secret Service.");
#endif
        // A call that was made before it was given up keeps its result: a stored secret is kept.
        if (givenUp && answer.status != Status::Done) {
            answer.status = Status::Failed;
            answer.why = tr("Snapvale ended before the Secret Service answered.");
        }
        QMetaObject::invokeMethod(
            QCoreApplication::instance(),
            [self, id, answer] {
                if (self)
                    self->answer(id, answer);
            },
            Qt::QueuedConnection);
        QMutexLocker lock(&pending->mutex);
        --pending->calls;
        pending->answered.wakeAll();
    });
}
