#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

#include <functional>

// Where secret entries keep their text: outside the store, one item per entry number in the
// desktop's Secret Service. Each call answers once, later, on the caller's thread, in the order
// the calls were made; none of them waits for the answer.
class SecretKeeper {
public:
    enum class Status {
        Done,    // stored, found or removed
        Missing, // lookup: no such item, or it could not be unlocked
        Failed   // no Secret Service, or it refused: `why` says so
    };
    struct Answer {
        Status status = Status::Failed;
        QByteArray utf8;
        QString why;
    };
    using Done = std::function<void(const Answer &)>;

    virtual ~SecretKeeper() = default;
    virtual void store(int n, const QByteArray &utf8, Done done) = 0;
    virtual void lookup(int n, Done done) = 0;
    // Removing an item that does not exist is done too.
    virtual void remove(int n, Done done) = 0;

    // As the program ends. Waits up to `ms` for the calls made so far (an unlock prompt may be
    // open), running their answers as they come; true when none is left.
    virtual bool waitForAnswers(int ms) {
        Q_UNUSED(ms);
        return true;
    }
    // Gives up the calls still waiting: each is answered Failed at once, so that nothing is
    // left to wait for and the program can end.
    virtual void giveUp() {}
};
