// The entry picker: its keys, what it lists, filtering, Esc, and what a pick does with the
// window that had the keyboard (the scripted desktop stands in for XTest and wtype, which the
// end-to-end tests drive for real).

#include "picker/pickercommands.h"
#include "picker/pickerwindow.h"
#include "picker/shortcutdialog.h"
#include "platform/globalshortcut.h"
#include "platform/keysender.h"
#include "support/session.h"

#include <QDir>
#include <QKeyEvent>
#include <QKeySequenceEdit>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPointer>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using Pick = PickerWindow::Pick;

// What row `row` of the list shows, or says in `role`.
QString cell(const QListView *list, int row, int role = Qt::DisplayRole) {
    return list->model()->index(row, 0).data(role).toString();
}

class TestPicker : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void keys_data();
    void keys();
    void capsLockChangesNoPick_data();
    void capsLockChangesNoPick();
    void listsWhatHoldsText();
    void rowsLineUpAndShowWhole();
    void pick_data();
    void pick();
    void restoreClipboard_data();
    void restoreClipboard();
    void escAndEmptyKeysChangeNothing();
    void filter();
    void oneAtATime();
    void pasteKeysByWindowClass_data();
    void pasteKeysByWindowClass();
    void historyKeys_data();
    void historyKeys();
    void historyRowsAndFilter();
    void shortcutDialogEscCancels();
    void screenshots();

private:
    PickerWindow *openPicker();
    QTemporaryDir m_dir;
    std::unique_ptr<Session> m_s;
    PickerCommands *m_commands = nullptr;
};

void TestPicker::init() {
    m_s = newSession(m_dir);
    m_commands = new PickerCommands(m_s->window, m_s->session);
    m_s->start();
    m_s->setEntry(3, QStringLiteral("  hello from\nthe third  "), QStringLiteral("greeting"));
    m_s->setEntry(12, QStringLiteral("twelve"), QStringLiteral("dozen"));
    QStringList clippings(ClippingCount);
    clippings[1] = QStringLiteral(" second clipping ");
    QVERIFY(m_s->session.setClippings(clippings));
    m_s->desktop.clipboard = QStringLiteral("before");
    m_s->desktop.target = {PasteTarget::Method::X11, 42, QStringLiteral("Gedit"), false};
}

void TestPicker::cleanup() {
    if (m_commands->picker())
        m_commands->picker()->close();
    m_s.reset();
}

PickerWindow *TestPicker::openPicker() {
    m_s->window.requestPicker();
    PickerWindow *picker = m_commands->picker();
    return picker && picker->isVisible() ? picker : nullptr;
}

void TestPicker::keys_data() {
    QTest::addColumn<Pick>("pick");
    QTest::addColumn<QString>("key");
    QTest::newRow("entry 1") << Pick{Pick::Entry, 1} << "1";
    QTest::newRow("entry 9") << Pick{Pick::Entry, 9} << "9";
    QTest::newRow("entry 10") << Pick{Pick::Entry, 10} << "0";
    QTest::newRow("entry 11") << Pick{Pick::Entry, 11} << "a";
    QTest::newRow("entry 30") << Pick{Pick::Entry, 30} << "t";
    QTest::newRow("clipping 1") << Pick{Pick::Clipping, 1} << "u";
    QTest::newRow("clipping 6") << Pick{Pick::Clipping, 6} << "z";
    QTest::newRow("clipping 7") << Pick{Pick::Clipping, 7} << "A";
    QTest::newRow("clipping 20") << Pick{Pick::Clipping, 20} << "N";
}

void TestPicker::keys() {
    QFETCH(Pick, pick);
    QFETCH(QString, key);
    QCOMPARE(PickerWindow::keyOf(pick), key.at(0));
    Pick back;
    QVERIFY(PickerWindow::pickOfKey(key.at(0), &back));
    QVERIFY(back == pick);
    // Every key belongs to one pick only.
    for (const QChar other : QStringLiteral("O/ !")) {
        QVERIFY(!PickerWindow::pickOfKey(other, &back));
    }
}

void TestPicker::capsLockChangesNoPick_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<QString>("text"); // as the keyboard types it
    QTest::addColumn<QString>("clipboard");
    // Caps Lock on: the letter comes as a capital without Shift, as a small one with it.
    QTest::newRow("b, Caps Lock on: entry 12") << int(Qt::Key_B) << int(Qt::NoModifier) << "B"
                                               << "twelve";
    QTest::newRow("b, Caps Lock off: entry 12") << int(Qt::Key_B) << int(Qt::NoModifier) << "b"
                                                << "twelve";
    QTest::newRow("v, Caps Lock on: clipping 2") << int(Qt::Key_V) << int(Qt::NoModifier) << "V"
                                                 << "second clipping";
    QTest::newRow("3 with Caps Lock on") << int(Qt::Key_3) << int(Qt::NoModifier) << "3"
                                         << "hello from\nthe third";
    // Shift+B is clipping 8, which is empty: nothing is picked, Caps Lock or not.
    QTest::newRow("Shift+B, Caps Lock on: clipping 8, empty")
        << int(Qt::Key_B) << int(Qt::ShiftModifier) << "b"
        << "before";
}

void TestPicker::capsLockChangesNoPick() {
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(QString, text);
    QFETCH(QString, clipboard);
    PickerWindow *picker = openPicker();
    QVERIFY(picker);
    QKeyEvent press(QEvent::KeyPress, key, Qt::KeyboardModifiers(modifiers), text);
    QCoreApplication::sendEvent(picker->list(), &press);
    QCOMPARE(m_s->desktop.clipboard, clipboard);
}

void TestPicker::listsWhatHoldsText() {
    PickerWindow *picker = openPicker();
    QVERIFY(picker);
    QListView *list = picker->list();
    QCOMPARE(list->model()->rowCount(), 3); // entries 3 and 12, clipping 2
    QCOMPARE(cell(list, 0), QStringLiteral("3   3  greeting: hello from the third"));
    // A screen reader hears which entry, its name and its start.
    QCOMPARE(cell(list, 0, Qt::AccessibleTextRole),
             QStringLiteral("Entry 3, greeting: hello from the third"));
    QVERIFY(cell(list, 1).startsWith(QLatin1String("b   12  dozen: twelve")));
    QVERIFY(cell(list, 2).startsWith(QLatin1String("v   Clipping 2: ")));
}

// Thirty entries and twenty clippings: the list scrolls, every row it shows is whole, and the key,
// number and text columns line up whatever the number's width; a long name is cut short on its
// own, leaving the text seen; an unnamed entry shows no "Untitled".
void TestPicker::rowsLineUpAndShowWhole() {
    for (int n = 1; n <= EntryStore::Count; ++n)
        m_s->setEntry(n, QStringLiteral("text %1").arg(n),
                      n == 12  ? QString(240, QLatin1Char('N'))
                      : n == 7 ? QString(EntryStore::DefaultName)
                               : QStringLiteral("name"));
    QStringList clippings(ClippingCount);
    for (int k = 0; k < ClippingCount; ++k)
        clippings[k] = QStringLiteral("clip %1").arg(k + 1);
    QVERIFY(m_s->session.setClippings(clippings));
    PickerWindow *picker = openPicker();
    QVERIFY(picker);
    QVERIFY(QTest::qWaitForWindowExposed(picker));
    QListView *list = picker->list();
    QCOMPARE(list->model()->rowCount(), EntryStore::Count + ClippingCount);
    const int height = list->viewport()->height();
    const int rowHeight = list->visualRect(list->model()->index(0, 0)).height();
    QVERIFY2(height % rowHeight == 0,
             qPrintable(QStringLiteral("%1 px for rows of %2 px").arg(height).arg(rowHeight)));
    QCOMPARE(height / rowHeight, 20);
    QCOMPARE(cell(list, 6), QStringLiteral("7   7  text 7"));
    QCOMPARE(cell(list, 6, Qt::AccessibleTextRole), QStringLiteral("Entry 7: text 7"));
    // Drawn in columns: the key, the number right-aligned, a name of its own width, the text.
    for (int row : {0, 9, 11, 30})
        QCOMPARE(list->model()->index(row, 0).data(Qt::UserRole + 1).toStringList().size(), 4);
}

void TestPicker::pick_data() {
    QTest::addColumn<QString>("key");
    QTest::addColumn<PasteTarget>("target");
    QTest::addColumn<bool>("pasteOption");
    QTest::addColumn<QString>("clipboard");
    QTest::addColumn<int>("pastes");
    QTest::addColumn<QString>("notice");
    const PasteTarget editor{PasteTarget::Method::X11, 42, QStringLiteral("Gedit"), false};
    const PasteTarget own{PasteTarget::Method::X11, 7, QStringLiteral("snapvale"), true};
    const PasteTarget none{};
    const PasteTarget xterm{PasteTarget::Method::X11, 9, QStringLiteral("XTerm"), false};
    QTest::newRow("entry pasted") << "3" << editor << true << "hello from\nthe third" << 1
                                  << QString();
    QTest::newRow("clipping pasted")
        << "v" << editor << true << "second clipping" << 1 << QString();
    QTest::newRow("no way to send keys")
        << "3" << none << true << "hello from\nthe third" << 0 << "Entry 3 copied: press Ctrl+V";
    QTest::newRow("never into Snapvale")
        << "b" << own << true << "twelve" << 0 << "Entry 12 copied: press Ctrl+V";
    QTest::newRow("terminal keys in the notice")
        << "3" << PasteTarget{PasteTarget::Method::None, 9, QStringLiteral("XTerm"), false} << true
        << "hello from\nthe third" << 0 << "Entry 3 copied: press Shift+Insert";
    QTest::newRow("xterm pasted") << "v" << xterm << true << "second clipping" << 1 << QString();
    QTest::newRow("option off") << "3" << editor << false << "hello from\nthe third" << 0
                                << QString();
}

void TestPicker::pick() {
    QFETCH(QString, key);
    QFETCH(PasteTarget, target);
    QFETCH(bool, pasteOption);
    QFETCH(QString, clipboard);
    QFETCH(int, pastes);
    QFETCH(QString, notice);
    if (!pasteOption)
        m_s->window.togglePasteAfterPicking();
    m_s->desktop.target = target;
    PickerWindow *picker = openPicker();
    QVERIFY(picker);
    QTest::keyClicks(picker->list(), key);
    QVERIFY(!m_commands->picker() || !m_commands->picker()->isVisible());
    QCOMPARE(m_s->desktop.clipboard, clipboard);
    QCOMPARE(m_s->desktop.pastes.size(), pastes);
    if (pastes)
        QCOMPARE(m_s->desktop.pastes.first().window, target.window);
    QCOMPARE(m_s->desktop.notices, notice.isEmpty() ? QStringList() : QStringList{notice});
}

void TestPicker::restoreClipboard_data() {
    QTest::addColumn<PasteTarget>("target");
    QTest::addColumn<bool>("secretBefore");
    QTest::addColumn<QString>("copiedMeanwhile");
    QTest::addColumn<QString>("clipboard");
    const PasteTarget editor{PasteTarget::Method::X11, 42, QStringLiteral("Gedit"), false};
    QTest::newRow("given back after the paste") << editor << false << QString() << "before";
    // A password manager's copy comes back marked, or every history tool would keep it.
    QTest::newRow("a password manager's copy, given back marked")
        << editor << true << QString() << "before";
    QTest::newRow("another program copied meanwhile") << editor << false << "newer"
                                                      << "newer";
    // Not pasted: the user still has to press Ctrl+V.
    QTest::newRow("no paste, no restore")
        << PasteTarget{} << false << QString() << "hello from\nthe third";
}

void TestPicker::restoreClipboard() {
    QFETCH(PasteTarget, target);
    QFETCH(bool, secretBefore);
    QFETCH(QString, copiedMeanwhile);
    QFETCH(QString, clipboard);
    m_s->window.toggleRestoreClipboard();
    m_s->desktop.target = target;
    m_s->desktop.clipboardSecret = secretBefore;
    PickerWindow *picker = openPicker();
    QVERIFY(picker);
    QTest::keyClicks(picker->list(), QStringLiteral("3"));
    QCOMPARE(m_s->desktop.clipboard, QStringLiteral("hello from\nthe third"));
    const int reads = m_s->desktop.clipboardReads;
    if (!copiedMeanwhile.isEmpty())
        m_s->desktop.clipboard = copiedMeanwhile;
    // The restore comes a moment after a paste, once it has looked at the clipboard; without a
    // paste none is due.
    if (target.method != PasteTarget::Method::None)
        QTRY_VERIFY(m_s->desktop.clipboardReads > reads);
    QCOMPARE(m_s->desktop.clipboard, clipboard);
    QCOMPARE(m_s->desktop.clipboardSecret, secretBefore && copiedMeanwhile.isEmpty());
}

void TestPicker::escAndEmptyKeysChangeNothing() {
    PickerWindow *picker = openPicker();
    QVERIFY(picker);
    // Entry 4 is empty and clipping 1 too: their keys pick nothing.
    QTest::keyClicks(picker->list(), QStringLiteral("4u"));
    QVERIFY(picker->isVisible());
    QTest::keyClick(picker->list(), Qt::Key_Escape);
    QVERIFY(!m_commands->picker() || !m_commands->picker()->isVisible());
    QCOMPARE(m_s->desktop.clipboard, QStringLiteral("before"));
    QVERIFY(m_s->desktop.pastes.isEmpty());
    QVERIFY(m_s->desktop.notices.isEmpty());
}

void TestPicker::filter() {
    PickerWindow *picker = openPicker();
    QVERIFY(picker);
    QTest::keyClick(picker->list(), Qt::Key_Slash);
    QVERIFY(picker->filterField()->isVisible());
    // Letters that are keys elsewhere filter here, by name or text.
    QTest::keyClicks(picker->filterField(), QStringLiteral("DOZ"));
    QCOMPARE(picker->list()->model()->rowCount(), 1);
    QVERIFY(cell(picker->list(), 0).startsWith(QLatin1String("b   12  dozen")));
    // Esc leaves the filter before the picker.
    QTest::keyClick(picker->filterField(), Qt::Key_Escape);
    QCOMPARE(picker->filterField()->text(), QString());
    QVERIFY(picker->isVisible());
    QTest::keyClicks(picker->filterField(), QStringLiteral("second"));
    QTest::keyClick(picker->filterField(), Qt::Key_Return);
    QCOMPARE(m_s->desktop.clipboard, QStringLiteral("second clipping"));
}

void TestPicker::oneAtATime() {
    PickerWindow *first = openPicker();
    QVERIFY(first);
    QCOMPARE(openPicker(), first);
    int open = 0;
    for (const QWidget *w : QApplication::topLevelWidgets())
        open += qobject_cast<const PickerWindow *>(w) && w->isVisible() ? 1 : 0;
    QCOMPARE(open, 1);
}

void TestPicker::pasteKeysByWindowClass_data() {
    QTest::addColumn<QString>("windowClass");
    QTest::addColumn<QString>("keys");
    QTest::newRow("editor") << "Gedit"
                            << "Ctrl+V";
    QTest::newRow("browser") << "firefox-esr"
                             << "Ctrl+V";
    QTest::newRow("xterm") << "XTerm"
                           << "Shift+Insert";
    QTest::newRow("GNOME Terminal") << "Gnome-terminal"
                                    << "Ctrl+Shift+V";
    QTest::newRow("Konsole") << "konsole"
                             << "Ctrl+Shift+V";
    QTest::newRow("unknown") << QString() << "Ctrl+V";
}

void TestPicker::pasteKeysByWindowClass() {
    QFETCH(QString, windowClass);
    QFETCH(QString, keys);
    QCOMPARE(KeySender::keysText(KeySender::pasteKeysFor(windowClass)), keys);
}

void TestPicker::historyKeys_data() {
    QTest::addColumn<QList<int>>("keys");
    QTest::addColumn<QString>("clipboard"); // "" for no pick: the picker stays
    QTest::newRow("Tab, 1: the newest copy, exactly")
        << QList<int>{Qt::Key_Tab, Qt::Key_1} << " copy 12 ";
    QTest::newRow("Tab, 0: the tenth") << QList<int>{Qt::Key_Tab, Qt::Key_0} << " copy 3 ";
    QTest::newRow("Tab twice, 3: entry 3 again")
        << QList<int>{Qt::Key_Tab, Qt::Key_Tab, Qt::Key_3} << "hello from\nthe third";
    QTest::newRow("Tab, a: nothing") << QList<int>{Qt::Key_Tab, Qt::Key_A} << "";
    QTest::newRow("Tab, Enter: the newest")
        << QList<int>{Qt::Key_Tab, Qt::Key_Return} << " copy 12 ";
}

// After Tab the digits pick the history's newest ten; a pick pastes as an entry's does.
void TestPicker::historyKeys() {
    QFETCH(QList<int>, keys);
    QFETCH(QString, clipboard);
    for (int i = 1; i <= 12; ++i)
        m_s->desktop.copyByAnotherProgram(QStringLiteral(" copy %1 ").arg(i));
    m_s->desktop.clipboard = QStringLiteral("before");
    PickerWindow *picker = openPicker();
    QVERIFY(picker);
    for (int key : keys)
        QTest::keyClick(picker->list(), Qt::Key(key));
    if (clipboard.isEmpty()) {
        QVERIFY(m_commands->picker() && m_commands->picker()->isVisible());
        QCOMPARE(m_s->desktop.clipboard, QStringLiteral("before"));
        return;
    }
    QVERIFY(!m_commands->picker() || !m_commands->picker()->isVisible());
    QCOMPARE(m_s->desktop.clipboard, clipboard);
    QCOMPARE(m_s->desktop.pastes.size(), 1);
    // The pick is Snapvale's own copy: the history stays as it was.
    QCOMPARE(m_s->session.history().count(), 12);
}

void TestPicker::historyRowsAndFilter() {
    m_s->desktop.copyByAnotherProgram(QStringLiteral("older copy"));
    m_s->desktop.copyByAnotherProgram(QStringLiteral("newest copy\nsecond line"));
    PickerWindow *picker = openPicker();
    QVERIFY(picker);
    QListView *list = picker->list();
    // Entries 3 and 12, clipping 2, then the history, newest first.
    QCOMPARE(list->model()->rowCount(), 5);
    QCOMPARE(cell(list, 3), QStringLiteral("\u21e51   now: newest copy"));
    QCOMPARE(cell(list, 3, Qt::AccessibleTextRole), QStringLiteral("Copied just now: newest copy"));
    QCOMPARE(cell(list, 4), QStringLiteral("\u21e52   now: older copy"));
    QVERIFY(picker->keyHint()->text().contains(QLatin1String("Tab, then 1-9, 0: history")));
    QTest::keyClick(list, Qt::Key_Tab);
    QVERIFY(picker->historyKeys());
    QVERIFY(picker->keyHint()->text().startsWith(QLatin1String("History: 1-9, 0")));
    QCOMPARE(list->currentIndex().row(), 3);
    QTest::keyClick(list, Qt::Key_Tab);
    QVERIFY(!picker->historyKeys());
    // The filter matches history texts too.
    QTest::keyClick(list, Qt::Key_Slash);
    QTest::keyClicks(picker->filterField(), QStringLiteral("older"));
    QCOMPARE(list->currentIndex().data().toString(), QStringLiteral("\u21e52   now: older copy"));
    QTest::keyClick(picker->filterField(), Qt::Key_Return);
    QCOMPARE(m_s->desktop.clipboard, QStringLiteral("older copy"));
}

void TestPicker::shortcutDialogEscCancels() {
    GlobalShortcut shortcut;
    QPointer<ShortcutDialog> dialog = new ShortcutDialog(m_s->window, &shortcut, nullptr);
    QSignalSpy chosen(dialog.data(), &ShortcutDialog::chosen);
    dialog->show();
    QKeySequenceEdit *field = dialog->keyField();
    QVERIFY(field);
    QTest::keyClick(field, Qt::Key_K, Qt::ControlModifier | Qt::AltModifier);
    QCOMPARE(field->keySequence(), QKeySequence(QStringLiteral("Ctrl+Alt+K")));
    QTest::keyClick(field, Qt::Key_Escape);
    QTRY_VERIFY2(!dialog, "Esc in the key field did not close the dialog");
    QCOMPARE(chosen.count(), 0);
    QCOMPARE(shortcut.key(), QKeySequence());
}

void TestPicker::screenshots() {
    // The README's picture sequence, from the program as it runs here.
    const QString shots = qEnvironmentVariable("SNAPVALE_ARTEFACTS");
    if (shots.isEmpty())
        QSKIP("SNAPVALE_ARTEFACTS names no folder");
    QDir().mkpath(shots);
    const char *const texts[] = {"https://www.example.com/reports/2026", "Kind regards,\r\nAlex",
                                 "SELECT * FROM orders WHERE id = ?", "+1 555 0100"};
    const char *const names[] = {"report", "signature", "query", "phone"};
    for (int n = 1; n <= 4; ++n)
        m_s->setEntry(n, QString::fromUtf8(texts[n - 1]), QString::fromUtf8(names[n - 1]));
    PickerWindow *picker = openPicker();
    QVERIFY(picker);
    QVERIFY(QTest::qWaitForWindowExposed(picker));
    QVERIFY(picker->grab().save(shots + QStringLiteral("/picker.png")));
    QTest::keyClick(picker->list(), Qt::Key_Slash);
    QTest::keyClicks(picker->filterField(), QStringLiteral("regards"));
    QVERIFY(picker->grab().save(shots + QStringLiteral("/picker-filter.png")));
}

QTEST_MAIN(TestPicker)
#include "test_picker.moc"
