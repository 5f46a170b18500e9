#include "core/request.h"

#include "core/entrystore.h"

namespace {

static_assert(RequestWords::count == Request::HistoryClear + 1,
              "one word for each kind of request");
static_assert(EntryStore::Count == 30, "the command's entry numbers");

const QString badEntry = QStringLiteral("an entry number is 1 to 30");
const QString badItem = QStringLiteral("a history item's number is 1 to 10000, the newest 1");

int entryNumber(const QByteArray &text) {
    return RequestWords::entryNumber(text.constData(), size_t(text.size()));
}

int numberFor(RequestWords::Takes takes, const QByteArray &text) {
    return RequestWords::numberFor(takes, text.constData(), size_t(text.size()));
}

const QString &badNumber(RequestWords::Takes takes) {
    return takes == RequestWords::Takes::Item ? badItem : badEntry;
}

} // namespace

QByteArray Request::encode() const {
    const RequestWords::Word &name = RequestWords::words[kind];
    return QByteArray(name.word) +
           (name.takes != RequestWords::Takes::Nothing ? ' ' + QByteArray::number(entry) : "") +
           '\n';
}

namespace RequestParser {

std::optional<Request> parseLine(const QByteArray &line, QString *error) {
    if (line.size() >= maxLineBytes) {
        *error = QStringLiteral("the request is too long");
        return std::nullopt;
    }
    const qsizetype space = line.indexOf(' ');
    const QByteArray word = space < 0 ? line : line.left(space);
    for (int kind = 0; kind < int(RequestWords::count); ++kind) {
        const RequestWords::Word &name = RequestWords::words[kind];
        if (word != name.word)
            continue;
        if (name.takes == RequestWords::Takes::Nothing) {
            if (space >= 0)
                break;
            return Request{Request::Kind(kind), 0};
        }
        const int n = space < 0 ? 0 : numberFor(name.takes, line.mid(space + 1));
        if (!n) {
            *error = badNumber(name.takes);
            return std::nullopt;
        }
        return Request{Request::Kind(kind), n};
    }
    *error = QStringLiteral("unknown request");
    return std::nullopt;
}

std::optional<Request> parseArguments(const QStringList &arguments, bool *exitAfterPaint,
                                      QString *error) {
    std::optional<Request> request;
    *exitAfterPaint = false;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &arg = arguments.at(i);
        if (arg == QLatin1String("--exit-after-paint")) {
            *exitAfterPaint = true;
            continue;
        }
        if (request) {
            *error = QStringLiteral("one command at a time; see snapvale --help");
            return std::nullopt;
        }
        // --secret N on|off: one request each way on the channel.
        if (arg == QLatin1String("--secret")) {
            const int n = i + 1 < arguments.size() ? entryNumber(arguments.at(++i).toLatin1()) : 0;
            const QString how = i + 1 < arguments.size() ? arguments.at(++i) : QString();
            if (!n) {
                *error = badEntry;
                return std::nullopt;
            }
            if (how != QLatin1String("on") && how != QLatin1String("off")) {
                *error = QStringLiteral("--secret N takes on or off");
                return std::nullopt;
            }
            request =
                Request{how == QLatin1String("on") ? Request::SecretOn : Request::SecretOff, n};
            continue;
        }
        int found = -1;
        for (int kind = Request::Show; kind < int(RequestWords::count); ++kind) {
            // The secret marks are --secret N on|off, above.
            if (kind != Request::SecretOn && kind != Request::SecretOff &&
                arg == QLatin1String("--") + QLatin1String(RequestWords::words[kind].word))
                found = kind;
        }
        if (found < 0) {
            *error = QStringLiteral("unknown option '%1'; see snapvale --help").arg(arg);
            return std::nullopt;
        }
        request = Request{Request::Kind(found), 0};
        const RequestWords::Takes takes = RequestWords::words[found].takes;
        if (takes != RequestWords::Takes::Nothing) {
            request->entry =
                i + 1 < arguments.size() ? numberFor(takes, arguments.at(++i).toLatin1()) : 0;
            if (!request->entry) {
                *error = badNumber(takes);
                return std::nullopt;
            }
        }
    }
    return request.value_or(Request{});
}

} // namespace RequestParser
