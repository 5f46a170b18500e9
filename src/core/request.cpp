#include "core/request.h"

#include "core/entrystore.h"

namespace {

struct Name {
    const char *word;
    Request::Kind kind;
    bool takesEntry;
};

const Name names[] = {
    {"activate", Request::Activate, false},  {"show", Request::Show, false},
    {"hide", Request::Hide, false},          {"toggle", Request::Toggle, false},
    {"menu", Request::Menu, false},          {"copy", Request::Copy, true},
    {"paste", Request::Paste, true},         {"get", Request::Get, true},
    {"list", Request::List, false},          {"secret-on", Request::SecretOn, true},
    {"secret-off", Request::SecretOff, true}};

const QString badEntry = QStringLiteral("an entry number is 1 to 30");

// "1" to "30" exactly: no sign, no leading zero, no space, nothing after.
int entryNumber(const QByteArray &text) {
    if (text.isEmpty() || text.size() > 2 || text.startsWith('0'))
        return 0;
    int n = 0;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return 0;
        n = n * 10 + (c - '0');
    }
    return EntryStore::isValid(n) ? n : 0;
}

} // namespace

QByteArray Request::encode() const {
    for (const Name &name : names) {
        if (name.kind == kind)
            return QByteArray(name.word) +
                   (name.takesEntry ? ' ' + QByteArray::number(entry) : "") + '\n';
    }
    return QByteArrayLiteral("activate\n");
}

namespace RequestParser {

std::optional<Request> parseLine(const QByteArray &line, QString *error) {
    if (line.size() >= maxLineBytes) {
        *error = QStringLiteral("the request is too long");
        return std::nullopt;
    }
    const qsizetype space = line.indexOf(' ');
    const QByteArray word = space < 0 ? line : line.left(space);
    for (const Name &name : names) {
        if (word != name.word)
            continue;
        if (!name.takesEntry) {
            if (space >= 0)
                break;
            return Request{name.kind, 0};
        }
        const int n = space < 0 ? 0 : entryNumber(line.mid(space + 1));
        if (!n) {
            *error = badEntry;
            return std::nullopt;
        }
        return Request{name.kind, n};
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
        const Name *found = nullptr;
        for (const Name &name : names) {
            if (name.kind != Request::Activate && name.kind != Request::SecretOn &&
                name.kind != Request::SecretOff &&
                arg == QLatin1String("--") + QLatin1String(name.word))
                found = &name;
        }
        if (!found) {
            *error = QStringLiteral("unknown option '%1'; see snapvale --help").arg(arg);
            return std::nullopt;
        }
        request = Request{found->kind, 0};
        if (found->takesEntry) {
            request->entry =
                i + 1 < arguments.size() ? entryNumber(arguments.at(++i).toLatin1()) : 0;
            if (!request->entry) {
                *error = badEntry;
                return std::nullopt;
            }
        }
    }
    return request.value_or(Request{});
}

} // namespace RequestParser
