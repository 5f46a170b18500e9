#include "app/remotecontrol.h"
#include "clipboard/clipboardcommands.h"
#include "clipboard/replacedialog.h"
#include "core/request.h"
#include "core/text.h"
#include "support/session.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QToolButton>

#include <memory>

namespace {

const QString readFailed = QStringLiteral("Error accessing clipboard. Please retry.");
const QString copyFailed = QStringLiteral("Error copying to clipboard. Please retry.");

QList<QPushButton *> visibleReplaceButtons(ReplaceDialog *warn) {
    QList<QPushButton *> shown;
    for (QPushButton *b : warn->findChildren<QPushButton *>()) {
        if (b->text() == QLatin1String("&Replace") && b->isVisibleTo(warn))
            shown << b;
    }
    return shown;
}

} // namespace

class TestClipboard : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup() { m_s.reset(); }

    void leftClick_data();
    void leftClick();
    void confirmationsInARow();
    void clipboardReadFailures();
    void tooLargeTextRefused();
    void noTextOnClipboard_data();
    void noTextOnClipboard();
    void copyTrimsSpacesOnly_data();
    void copyTrimsSpacesOnly();
    void copyFailure();
    void rightAndMiddleButtons();
    void keyboard();
    void clearing();
    void commandsWhateverTheButtonsShow_data();
    void commandsWhateverTheButtonsShow();
    void pasteCommandAnswers_data();
    void pasteCommandAnswers();
    void replaceActsOnWhatItAskedAbout_data();
    void replaceActsOnWhatItAskedAbout();
    void everyOpenQuestionCounts();
    void exitAnswersTheOpenQuestions_data();
    void exitAnswersTheOpenQuestions();
    void commandQuestionShowsWithTheWindowHidden_data();
    void commandQuestionShowsWithTheWindowHidden();
    void saveClipboard_data();
    void saveClipboard();
    void saveClipboardFailures();

private:
    ReplaceDialog *warn() { return openDialog<ReplaceDialog>(m_s->window, "FrmWarn1"); }
    // The question a command opened: a window of its own.
    static ReplaceDialog *commandQuestion();
    QTemporaryDir m_dir;
    std::unique_ptr<Session> m_s;
};

ReplaceDialog *TestClipboard::commandQuestion() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (auto *d = qobject_cast<ReplaceDialog *>(w); d && d->isVisible())
            return d;
    }
    return nullptr;
}

void TestClipboard::init() {
    m_s = newSession(m_dir);
    new ClipboardCommands(m_s->window, m_s->session);
    m_s->start();
}

void TestClipboard::leftClick_data() {
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("clipboard");
    QTest::addColumn<bool>("asks");
    QTest::newRow("empty entry takes the clipboard") << ""
                                                     << "from clipboard" << false;
    QTest::newRow("empty clipboard into empty entry") << ""
                                                      << "" << false;
    QTest::newRow("spaces only count as text") << "   "
                                               << "new" << true;
    QTest::newRow("filled entry asks") << "old text"
                                       << "new" << true;
    QTest::newRow("line breaks kept") << ""
                                      << "a\r\nb\n"
                                      << false;
}

void TestClipboard::leftClick() {
    QFETCH(QString, before);
    QFETCH(QString, clipboard);
    QFETCH(bool, asks);
    m_s->setEntry(7, before, QStringLiteral("mine"));
    m_s->desktop.clipboard = clipboard;
    m_s->window.tabs()->setCurrentIndex(1);
    QTest::mouseClick(m_s->window.pasteButton(7), Qt::LeftButton);
    QCOMPARE(bool(warn()), asks);
    if (asks) {
        QCOMPARE(m_s->text(7), before);
        warn()->replaceButton(7)->click();
        QVERIFY(!warn());
    }
    QCOMPARE(m_s->text(7), clipboard);
    QCOMPARE(m_s->name(7), QStringLiteral("Untitled"));
    QVERIFY(m_s->desktop.messages.isEmpty());
}

void TestClipboard::confirmationsInARow() {
    m_s->setEntry(1, QStringLiteral("one"), QStringLiteral("n1"));
    m_s->setEntry(7, QStringLiteral("seven"), QStringLiteral("n7"));
    m_s->setEntry(12, QStringLiteral("twelve"), QStringLiteral("n12"));
    m_s->desktop.clipboard = QStringLiteral("clip");

    const struct {
        int n;
        const char *button;
        enum { Cancel, CloseBox, Replace } answer;
    } steps[] = {{7, "CmdYes7", steps->Cancel},
                 {12, "CmdYes12", steps->Replace},
                 {1, "CmdYes", steps->CloseBox},
                 {7, "CmdYes7", steps->Replace}};
    for (const auto &step : steps) {
        m_s->window.pasteButton(step.n)->click();
        ReplaceDialog *w = warn();
        QVERIFY(w);
        QVERIFY(w->isModal());
        QCOMPARE(w->windowTitle(), QStringLiteral("Snapvale - Entry %1").arg(step.n));
        QCOMPARE(w->findChild<QLabel *>(QStringLiteral("Label1"))->text(),
                 QStringLiteral("Replace Existing Text?"));
        const QList<QPushButton *> shown = visibleReplaceButtons(w);
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown.constFirst()->objectName(), QLatin1String(step.button));
        const QString before = m_s->text(step.n);
        if (step.answer == step.Cancel)
            w->findChild<QPushButton *>(QStringLiteral("CmdAbort"))->click();
        else if (step.answer == step.CloseBox)
            w->close();
        else
            shown.constFirst()->click();
        QVERIFY(!warn());
        QCOMPARE(m_s->text(step.n), step.answer == step.Replace ? QStringLiteral("clip") : before);
    }
    QCOMPARE(m_s->name(1), QStringLiteral("n1"));
    QCOMPARE(m_s->name(12), QStringLiteral("Untitled"));
}

void TestClipboard::clipboardReadFailures() {
    m_s->setEntry(3, QString(), QStringLiteral("kept name"));
    m_s->desktop.clipboard = QStringLiteral("clip");
    m_s->desktop.failingReads = 1;
    m_s->window.pasteButton(3)->click();
    QCOMPARE(m_s->desktop.messages, QStringList{readFailed});
    QCOMPARE(m_s->text(3), QString());
    QCOMPARE(m_s->name(3), QStringLiteral("kept name"));

    // A failed Replace leaves the confirmation open for another try.
    m_s->setEntry(4, QStringLiteral("old"), QStringLiteral("n"));
    m_s->window.pasteButton(4)->click();
    m_s->desktop.failingReads = 1;
    warn()->replaceButton(4)->click();
    QCOMPARE(m_s->desktop.messages.size(), 2);
    QCOMPARE(m_s->desktop.messages.last(), readFailed);
    QVERIFY(warn());
    QCOMPARE(m_s->text(4), QStringLiteral("old"));
    warn()->replaceButton(4)->click();
    QVERIFY(!warn());
    QCOMPARE(m_s->text(4), QStringLiteral("clip"));
}

void TestClipboard::noTextOnClipboard_data() {
    QTest::addColumn<QString>("before");
    QTest::addColumn<bool>("fromMenu");
    QTest::newRow("empty entry") << "" << false;
    QTest::newRow("filled entry, no question") << "kept text" << false;
    QTest::newRow("entry menu") << "kept text" << true;
}

void TestClipboard::noTextOnClipboard() {
    QFETCH(QString, before);
    QFETCH(bool, fromMenu);
    // An image or files: no text to paste, and the entry must not be emptied.
    m_s->setEntry(6, before, QStringLiteral("mine"));
    m_s->desktop.holdsText = false;
    m_s->window.tabs()->setCurrentIndex(1);
    if (fromMenu) {
        m_s->window.setCurrentEntry(6);
        m_s->item("mnuPaste1")->trigger();
    } else {
        m_s->window.pasteButton(6)->click();
    }
    QVERIFY(!warn());
    QCOMPARE(m_s->desktop.messages, QStringList{QStringLiteral("The clipboard holds no text.")});
    QCOMPARE(m_s->text(6), before);
    QCOMPARE(m_s->name(6), QStringLiteral("mine"));
}

void TestClipboard::tooLargeTextRefused() {
    const qint64 limit = EntryStore::maxTextBytes();
    EntryStore::setMaxTextBytes(8);
    const auto restore = qScopeGuard([limit] { EntryStore::setMaxTextBytes(limit); });
    m_s->setEntry(3, QString(), QStringLiteral("kept"));
    m_s->setEntry(4, QStringLiteral("old"), QStringLiteral("n"));
    m_s->desktop.clipboard = QStringLiteral("nine char");
    // Into an empty entry, and through the replace question: refused, said, nothing changed.
    m_s->window.pasteButton(3)->click();
    m_s->window.pasteButton(4)->click();
    warn()->replaceButton(4)->click();
    EntryStore::setMaxTextBytes(limit);
    QCOMPARE(m_s->desktop.messages,
             QStringList(2, EntryStore::tooLargeMessage().replace(QString::number(limit),
                                                                  QStringLiteral("8"))));
    QCOMPARE(m_s->text(3), QString());
    QCOMPARE(m_s->name(3), QStringLiteral("kept"));
    QCOMPARE(m_s->text(4), QStringLiteral("old"));
}

void TestClipboard::copyTrimsSpacesOnly_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("copied");
    QTest::newRow("spaces at both ends") << "  two words  "
                                         << "two words";
    QTest::newRow("tab and line break at the ends stay") << "\t a b \r\n"
                                                         << "\t a b \r\n";
    QTest::newRow("spaces outside a line break") << "  a\r\n  "
                                                 << "a\r\n";
    QTest::newRow("spaces only") << "     "
                                 << "";
    QTest::newRow("empty") << ""
                           << "";
    QTest::newRow("inner spaces kept") << "a   b"
                                       << "a   b";
}

void TestClipboard::copyTrimsSpacesOnly() {
    QFETCH(QString, text);
    QFETCH(QString, copied);
    m_s->setEntry(9, text, QStringLiteral("name"));
    // From the copy button, and from the entry menu after a right click.
    m_s->desktop.clipboard = QStringLiteral("stale");
    m_s->window.copyButton(9)->click();
    QCOMPARE(m_s->desktop.clipboard, copied);
    m_s->desktop.clipboard = QStringLiteral("stale");
    QTest::mouseClick(m_s->window.pasteButton(9), Qt::RightButton);
    m_s->item("mnuCopy1")->trigger();
    QCOMPARE(m_s->desktop.clipboard, copied);
    QCOMPARE(m_s->text(9), text);
    QVERIFY(m_s->desktop.messages.isEmpty());
}

void TestClipboard::copyFailure() {
    m_s->setEntry(2, QStringLiteral("x"));
    for (int failures : {1, 2}) {
        m_s->desktop.messages.clear();
        m_s->desktop.clipboard = QStringLiteral("stale");
        m_s->desktop.failingWrites = failures;
        m_s->window.copyButton(2)->click();
        QCOMPARE(m_s->desktop.messages, QStringList{copyFailed});
    }
}

void TestClipboard::rightAndMiddleButtons() {
    m_s->setEntry(12, QStringLiteral("twelve"));
    m_s->window.tabs()->setCurrentIndex(2);
    QTest::mouseClick(m_s->window.pasteButton(12), Qt::MiddleButton);
    QVERIFY(m_s->desktop.popups.isEmpty());
    QVERIFY(!warn());
    QCOMPARE(m_s->window.currentEntry(), 0);

    QTest::mouseClick(m_s->window.pasteButton(12), Qt::RightButton);
    QCOMPARE(m_s->window.currentEntry(), 12);
    QCOMPARE(m_s->desktop.popups.size(), 1);
    QCOMPARE(m_s->desktop.popups[0].menu->objectName(), QStringLiteral("mnuPopup1"));
    QVERIFY(!warn());

    // The entry menu's paste follows the same rule as a left click.
    m_s->item("mnuPaste1")->trigger();
    QVERIFY(warn());
    QCOMPARE(warn()->windowTitle(), QStringLiteral("Snapvale - Entry 12"));
    warn()->reject();
}

void TestClipboard::keyboard() {
    m_s->desktop.clipboard = QStringLiteral("typed in");
    QVERIFY(QTest::qWaitForWindowActive(&m_s->window));
    QPushButton *cmd = m_s->window.pasteButton(5);
    cmd->setFocus();
    QTest::keyClick(cmd, Qt::Key_Space);
    QCOMPARE(m_s->text(5), QStringLiteral("typed in"));
    QTest::keyClick(cmd, Qt::Key_Return);
    QVERIFY(warn());
    warn()->reject();

    QTest::keyClick(cmd, Qt::Key_Menu);
    QCOMPARE(m_s->window.currentEntry(), 5);
    m_s->window.pasteButton(4)->setFocus();
    QTest::keyClick(m_s->window.pasteButton(4), Qt::Key_F10, Qt::ShiftModifier);
    QCOMPARE(m_s->window.currentEntry(), 4);
    QCOMPARE(m_s->desktop.popups.size(), 2);
    // The keyboard's menu opens at the button, not wherever the pointer happens to be.
    QPushButton *four = m_s->window.pasteButton(4);
    QCOMPARE(m_s->desktop.popups[1].at, four->mapToGlobal(four->rect().center()));
}

void TestClipboard::clearing() {
    auto fill = [this] {
        for (int n = 1; n <= 30; ++n)
            m_s->setEntry(n, QStringLiteral("t%1").arg(n), QStringLiteral("n%1").arg(n));
    };
    auto cleared = [this] {
        QList<int> empty;
        for (int n = 1; n <= 30; ++n) {
            if (m_s->text(n).isEmpty() && m_s->name(n) == QLatin1String("Untitled"))
                empty << n;
        }
        return empty;
    };
    fill();
    QTest::mouseClick(m_s->window.pasteButton(9), Qt::RightButton);
    m_s->item("mnuClear1")->trigger();
    QCOMPARE(cleared(), QList<int>{9});

    fill();
    m_s->item("mnuThree")->trigger();
    QCOMPARE(cleared(), (QList<int>{11, 12, 13, 14, 15}));

    fill();
    m_s->item("ClearMnu")->trigger();
    QCOMPARE(cleared().size(), 30);
    QVERIFY(m_s->desktop.messages.isEmpty());
    // Clearing is not saving: the store is untouched until the entries are saved.
    QCOMPARE(m_s->stored(QStringLiteral("Data"), QStringLiteral("Entry1")), QString());
}

void TestClipboard::commandsWhateverTheButtonsShow_data() {
    QTest::addColumn<QString>("how");
    QTest::addColumn<bool>("hidden");
    for (const char *how : {"--copy", "tray list", "--paste"}) {
        QTest::newRow(qPrintable(QStringLiteral("%1, buttons disabled").arg(how))) << how << false;
        QTest::newRow(qPrintable(QStringLiteral("%1, buttons hidden").arg(how))) << how << true;
    }
}

void TestClipboard::commandsWhateverTheButtonsShow() {
    QFETCH(QString, how);
    QFETCH(bool, hidden);
    // The command line and the tray act on the entry, not on the buttons that show it.
    m_s->window.show();
    m_s->setEntry(3, QStringLiteral("three"), QStringLiteral("n"));
    const QList<QWidget *> buttons = {m_s->window.copyButton(3), m_s->window.pasteButton(4)};
    for (QWidget *button : buttons) {
        button->setEnabled(hidden);
        button->setVisible(!hidden);
    }
    m_s->desktop.clipboard = QStringLiteral("from the clipboard");
    const auto ignored = [](int, const QByteArray &) {};
    if (how == QLatin1String("--copy")) {
        carryOut(m_s->window, m_s->session, Request{Request::Copy, 3}, ignored);
        QCOMPARE(m_s->desktop.clipboard, QStringLiteral("three"));
    } else if (how == QLatin1String("tray list")) {
        m_s->item("mnuT03")->trigger();
        QCOMPARE(m_s->desktop.clipboard, QStringLiteral("three"));
    } else {
        carryOut(m_s->window, m_s->session, Request{Request::Paste, 4}, ignored);
        QCOMPARE(m_s->text(4), QStringLiteral("from the clipboard"));
    }
}

void TestClipboard::pasteCommandAnswers_data() {
    QTest::addColumn<QString>("before"); // entry 4
    QTest::addColumn<bool>("holdsText");
    QTest::addColumn<QString>("answer"); // to the question: replace, cancel, none asked
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("after");
    QTest::newRow("empty entry") << "" << true << "none" << 0 << "at the command";
    QTest::newRow("replaced: the text of the command's time")
        << "old" << true << "replace" << 0 << "at the command";
    QTest::newRow("cancelled") << "old" << true << "cancel" << int(MainWindow::Kept) << "old";
    QTest::newRow("no text on the clipboard")
        << "old" << false << "none" << int(MainWindow::NothingToPaste) << "old";
}

void TestClipboard::pasteCommandAnswers() {
    QFETCH(QString, before);
    QFETCH(bool, holdsText);
    QFETCH(QString, answer);
    QFETCH(int, status);
    QFETCH(QString, after);
    m_s->setEntry(4, before);
    m_s->desktop.clipboard = QStringLiteral("at the command");
    m_s->desktop.holdsText = holdsText;
    QList<int> answers;
    m_s->window.requestPaste(4, [&answers](int s, const QString &) { answers << s; });
    if (answer == QLatin1String("none")) {
        QVERIFY(!commandQuestion());
    } else {
        // The launch waits for the user; the clipboard may change meanwhile.
        QVERIFY(commandQuestion());
        QVERIFY(answers.isEmpty());
        m_s->desktop.clipboard = QStringLiteral("later");
        // A second command brings the same question forward and is told so at once.
        m_s->window.requestPaste(9, [&answers](int s, const QString &) { answers << s; });
        QCOMPARE(answers, QList<int>{int(MainWindow::QuestionOpen)});
        QVERIFY(commandQuestion());
        answers.clear();
        if (answer == QLatin1String("replace"))
            commandQuestion()->replaceButton(4)->click();
        else
            commandQuestion()->reject();
        QVERIFY(!commandQuestion());
    }
    QCOMPARE(answers, QList<int>{status});
    QCOMPARE(m_s->text(4), after);
    QVERIFY(m_s->desktop.messages.isEmpty());
}

void TestClipboard::replaceActsOnWhatItAskedAbout_data() {
    QTest::addColumn<bool>("command"); // the question of `--paste`, or of a numbered button
    QTest::addColumn<QString>("meanwhile");
    QTest::addColumn<bool>("asksAgain");
    for (bool command : {true, false}) {
        const char *who = command ? "command" : "button";
        QTest::addRow("%s, nothing changed", who) << command << "nothing" << false;
        QTest::addRow("%s, renamed only", who) << command << "renamed" << false;
        QTest::addRow("%s, another text (Load Set, the editor)", who) << command << "text" << true;
        QTest::addRow("%s, cleared", who) << command << "cleared" << true;
    }
}

void TestClipboard::replaceActsOnWhatItAskedAbout() {
    // Replace replaces the text the question was about: a newer one is asked about again.
    QFETCH(bool, command);
    QFETCH(QString, meanwhile);
    QFETCH(bool, asksAgain);
    m_s->setEntry(4, QStringLiteral("old"));
    m_s->desktop.clipboard = QStringLiteral("pasted");
    QList<int> answers;
    if (command) {
        m_s->window.requestPaste(4, [&answers](int s, const QString &) { answers << s; });
    } else {
        m_s->window.tabs()->setCurrentIndex(0);
        QTest::mouseClick(m_s->window.pasteButton(4), Qt::LeftButton);
    }
    ReplaceDialog *question = command ? commandQuestion() : warn();
    QVERIFY(question);
    const QString asked = question->findChild<QLabel *>(QStringLiteral("Label1"))->text();
    if (meanwhile == QLatin1String("renamed"))
        m_s->session.entries().setName(4, QStringLiteral("renamed"));
    else if (meanwhile == QLatin1String("text"))
        m_s->setEntry(4, QStringLiteral("newer"));
    else if (meanwhile == QLatin1String("cleared"))
        m_s->session.clearEntry(4);
    const QString held = m_s->text(4);
    question->replaceButton(4)->click();
    if (asksAgain) {
        QVERIFY(command ? commandQuestion() : warn());
        QCOMPARE(m_s->text(4), held);
        QVERIFY(answers.isEmpty());
        const QString again = question->findChild<QLabel *>(QStringLiteral("Label1"))->text();
        QVERIFY2(again != asked && again.contains(QLatin1String("changed")), qPrintable(again));
        // Asked again, and answered: the text it asked about now is replaced.
        question->replaceButton(4)->click();
    }
    QVERIFY(!(command ? commandQuestion() : warn()));
    QCOMPARE(m_s->text(4), QStringLiteral("pasted"));
    QCOMPARE(answers, command ? QList<int>{0} : QList<int>{});
}

void TestClipboard::everyOpenQuestionCounts() {
    // A button's question opened beside a command's, and closed, leaves the command's open: a
    // further command is still told so, and no third question opens.
    m_s->setEntry(1, QStringLiteral("one"));
    m_s->setEntry(2, QStringLiteral("two"));
    m_s->setEntry(3, QStringLiteral("three"));
    m_s->desktop.clipboard = QStringLiteral("pasted");
    QList<int> answers;
    m_s->window.requestPaste(1, [&answers](int s, const QString &) { answers << s; });
    ReplaceDialog *first = commandQuestion();
    QVERIFY(first);
    m_s->window.tabs()->setCurrentIndex(0);
    m_s->window.numberedButtonReleased(2, Qt::LeftButton, QPoint());
    ReplaceDialog *second = warn();
    QVERIFY(second && second != first);
    second->reject();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    m_s->window.requestPaste(3, [&answers](int s, const QString &) { answers << s; });
    QCOMPARE(answers, QList<int>{int(MainWindow::QuestionOpen)});
    QCOMPARE(commandQuestion(), first);
    first->reject();
    QCOMPARE(answers, (QList<int>{int(MainWindow::QuestionOpen), int(MainWindow::Kept)}));
    QCOMPARE(m_s->text(3), QStringLiteral("three"));
}

void TestClipboard::exitAnswersTheOpenQuestions_data() {
    QTest::addColumn<int>("reason");
    QTest::newRow("Exit") << int(MainWindow::CloseReason::Exit);
    QTest::newRow("log-out or a signal") << int(MainWindow::CloseReason::SessionEnd);
}

void TestClipboard::exitAnswersTheOpenQuestions() {
    // Exit with a command's question open: the command is told its entry kept its text, the
    // question goes, and nothing is replaced after the closing save.
    QFETCH(int, reason);
    m_s->setEntry(1, QStringLiteral("kept"));
    m_s->desktop.clipboard = QStringLiteral("pasted");
    QList<std::pair<int, QString>> answers;
    m_s->window.requestPaste(1, [&answers](int s, const QString &why) {
        answers << std::pair{s, why};
    });
    ReplaceDialog *question = commandQuestion();
    QVERIFY(question);
    QSignalSpy unloaded(&m_s->window, &MainWindow::unloaded);
    m_s->window.unload(MainWindow::CloseReason(reason));
    QCOMPARE(unloaded.size(), 1);
    QCOMPARE(answers.size(), 1);
    QCOMPARE(answers.first().first, int(MainWindow::Kept));
    QVERIFY2(answers.first().second.contains(QLatin1String("exited")),
             qPrintable(answers.first().second));
    QVERIFY(!commandQuestion());
    QCOMPARE(m_s->text(1), QStringLiteral("kept"));
}

void TestClipboard::commandQuestionShowsWithTheWindowHidden_data() {
    QTest::addColumn<QString>("window");
    QTest::newRow("hidden") << "hidden";
    QTest::newRow("minimised") << "minimised";
    QTest::newRow("shown") << "shown";
}

void TestClipboard::commandQuestionShowsWithTheWindowHidden() {
    // A compositor hides the windows that are transient for a minimised or hidden one (Mutter
    // does): the question of `--paste` would wait unseen, and the launch with it.
    QFETCH(QString, window);
    if (window == QLatin1String("hidden"))
        m_s->window.hide();
    else if (window == QLatin1String("minimised"))
        m_s->window.showMinimized();
    m_s->setEntry(4, QStringLiteral("old"));
    m_s->desktop.clipboard = QStringLiteral("new");
    m_s->window.requestPaste(4, [](int, const QString &) {});
    ReplaceDialog *question = commandQuestion();
    QVERIFY(question);
    QCOMPARE(question->windowHandle()->transientParent(), nullptr);
    question->reject();
}

void TestClipboard::saveClipboard_data() {
    QTest::addColumn<QString>("clipboard");
    QTest::addColumn<bool>("cancel");
    QTest::addColumn<QByteArray>("bytes");
    // The pasted CR LF stays; the line end the program adds is the platform's.
    const QByteArray end = Text::lineBreak().toUtf8();
    QTest::newRow("text") << "héllo\r\nworld" << false << "h\xc3\xa9llo\r\nworld" + end;
    QTest::newRow("empty clipboard: said before any dialog") << "" << false << QByteArray("former");
    QTest::newRow("cancelled") << "text" << true << QByteArray("former");
}

void TestClipboard::saveClipboard() {
    QFETCH(QString, clipboard);
    QFETCH(bool, cancel);
    QFETCH(QByteArray, bytes);
    const QString path =
        m_dir.filePath(QStringLiteral("saved %1.txt").arg(QTest::currentDataTag()));
    {
        QFile former(path);
        QVERIFY(former.open(QIODevice::WriteOnly));
        former.write("former");
    }
    m_s->desktop.clipboard = clipboard;
    m_s->desktop.nextFiles = {cancel ? QString() : path};
    m_s->window.hide();
    m_s->item("mnuClipboard2")->trigger();

    QCOMPARE(readBytes(path), bytes);
    if (clipboard.isEmpty()) {
        QVERIFY(m_s->desktop.fileDialogs.isEmpty());
        QCOMPARE(m_s->desktop.messages,
                 QStringList{QStringLiteral("The clipboard holds no text.")});
        return;
    }
    QCOMPARE(m_s->desktop.fileDialogs.size(), 1);
    const FileDialogRequest &asked = m_s->desktop.fileDialogs.constFirst();
    QCOMPARE(asked.kind, FileDialogRequest::Save);
    QCOMPARE(asked.title, QStringLiteral("Save Clipboard As..."));
    QCOMPARE(asked.filter, QStringLiteral("Text Files (*.txt);;All Files (*.*)"));
    QVERIFY(asked.confirmOverwrite);
    QCOMPARE(asked.initialPath, QString());
    QVERIFY(m_s->window.isHidden());
    QVERIFY(m_s->desktop.messages.isEmpty());
}

void TestClipboard::saveClipboardFailures() {
    // A folder that does not exist: the user is told which file and why, and nothing is written.
    const QString nowhere = m_dir.filePath(QStringLiteral("no such folder/out.txt"));
    const QString path = m_dir.filePath(QStringLiteral("unread.txt"));
    m_s->desktop.clipboard = QStringLiteral("text");
    m_s->desktop.nextFiles = {nowhere, path};
    m_s->item("mnuClipboard2")->trigger();
    QCOMPARE(m_s->desktop.messages.size(), 1);
    QVERIFY(m_s->desktop.messages.constFirst().startsWith(
        QStringLiteral("Snapvale could not write %1\r\n").arg(nowhere)));
    // An unreadable clipboard is said before any dialog, and nothing is written.
    m_s->desktop.failingReads = 1;
    m_s->item("mnuClipboard2")->trigger();
    QVERIFY(!QFile::exists(nowhere));
    QVERIFY(!QFile::exists(path));
    QCOMPARE(m_s->desktop.fileDialogs.size(), 1);
    QCOMPARE(m_s->desktop.messages.size(), 2);
    QCOMPARE(m_s->desktop.messages.constLast(), QStringLiteral("The clipboard holds no text."));
}

QTEST_MAIN(TestClipboard)
#include "test_clipboard.moc"
