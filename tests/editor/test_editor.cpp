#include "core/text.h"
#include "editor/editorcommands.h"
#include "editor/editorwindow.h"
#include "support/session.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QScreen>
#include <QTemporaryDir>
#include <QToolButton>

#include <memory>

class TestEditor : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void discardQuestion_data();
    void discardQuestion();
    void exitAsksAboutEdits();
    void toolRowFits_data();
    void toolRowFits();

    void typedLineBreaks_data();
    void typedLineBreaks();
    void opensEntryExactly_data();
    void opensEntryExactly();
    void largeTextArrivesInParts_data();
    void largeTextArrivesInParts();
    void openFile_data();
    void openFile();
    void openCancelledOrFailedChangesNothing();
    void saveAndSaveAs();
    void editMenuStates_data();
    void editMenuStates();
    void editCommands();
    void copyButtons();
    void fixedSizesAndCentring();
    void openingSize_data();
    void openingSize();
    void centringArithmetic_data();
    void centringArithmetic();
    void snapsBack();
    void followsItsEntry_data();
    void followsItsEntry();
    void updateAndAdd_data();
    void updateAndAdd();
    void followsOnTopWhenItLoads();

private:
    EditorWindow *open(int n, const QString &text, const QString &name = QStringLiteral("Name")) {
        m_s->setEntry(n, text, name);
        m_s->window.setCurrentEntry(n);
        m_s->item("mnuEdit")->trigger();
        return editor();
    }
    EditorWindow *editor() { return openDialog<EditorWindow>(m_s->window, "FrmText"); }
    QString path(const char *name) { return m_dir.filePath(QLatin1String(name)); }

    QTemporaryDir m_dir;
    std::unique_ptr<Session> m_s;
};

void TestEditor::init() {
    m_s = newSession(m_dir);
    new EditorCommands(m_s->window);
    m_s->start();
}

void TestEditor::cleanup() {
    if (EditorWindow *e = editor())
        e->close();
    m_s.reset();
}

void TestEditor::discardQuestion_data() {
    QTest::addColumn<QString>("how");
    QTest::addColumn<bool>("edit");
    QTest::addColumn<bool>("asks");
    for (const char *how : {"File Close", "close box", "Esc", "Ctrl+W"}) {
        QTest::addRow("%s, edited", how) << how << true << true;
        QTest::addRow("%s, unchanged", how) << how << false << false;
    }
    QTest::addRow("Update, then close") << "update" << true << false;
}

void TestEditor::discardQuestion() {
    QFETCH(QString, how);
    QFETCH(bool, edit);
    QFETCH(bool, asks);
    EditorWindow *e = open(4, QStringLiteral("entry text"));
    QVERIFY(QTest::qWaitForWindowActive(e));
    if (edit)
        e->textEdit()->insertPlainText(QStringLiteral("typed "));
    const auto closeOnce = [&] {
        if (how == QLatin1String("Esc"))
            QTest::keyClick(e->textEdit(), Qt::Key_Escape);
        else if (how == QLatin1String("Ctrl+W"))
            QTest::keyClick(e->textEdit(), Qt::Key_W, Qt::ControlModifier);
        else if (how == QLatin1String("File Close"))
            e->actions().close->trigger();
        else
            e->close();
    };
    if (how == QLatin1String("update")) {
        e->updateEntry();
        m_s->desktop.messages.clear();
        e->close();
        QVERIFY(!editor());
        QVERIFY(m_s->desktop.questions.isEmpty());
        return;
    }
    // Cancel, the default, keeps the editor and its text; Discard closes it.
    closeOnce();
    QCOMPARE(m_s->desktop.questions.size(), asks ? 1 : 0);
    if (asks) {
        QCOMPARE(m_s->desktop.questions.constFirst(),
                 QStringLiteral("Discard the changes to this text?"));
        QVERIFY(editor());
        QCOMPARE(e->text(), QStringLiteral("typed entry text"));
        m_s->desktop.nextAnswers = {0};
        closeOnce();
    }
    QVERIFY(!editor());
    QCOMPARE(m_s->text(4), QStringLiteral("entry text"));
}

void TestEditor::exitAsksAboutEdits() {
    EditorWindow *e = open(5, QStringLiteral("five"));
    e->textEdit()->insertPlainText(QStringLiteral("edited "));
    // From the tray while the editor is open: Cancel keeps both windows and the program.
    m_s->item("mnuExit")->trigger();
    QCOMPARE(m_s->desktop.questions.size(), 1);
    QVERIFY(!m_s->window.isUnloaded());
    QVERIFY(editor());
    m_s->desktop.nextAnswers = {0};
    m_s->item("mnuExit")->trigger();
    QVERIFY(m_s->window.isUnloaded());
    QVERIFY(!editor());
}

void TestEditor::toolRowFits_data() {
    QTest::addColumn<bool>("enlarged");
    QTest::newRow("default size") << false;
    QTest::newRow("enlarged") << true;
}

void TestEditor::toolRowFits() {
    QFETCH(bool, enlarged);
    EditorWindow *e = open(1, QStringLiteral("Some text to show in the editor."));
    QVERIFY(QTest::qWaitForWindowExposed(e));
    if (enlarged)
        e->enlarge();
    QCoreApplication::processEvents();
    QWidget *row = e->findChild<QWidget *>(QStringLiteral("ToolRow"));
    QVERIFY(row);
    const QRect client = row->parentWidget()->rect();
    QVERIFY(client.contains(row->geometry()));
    for (QToolButton *b : row->findChildren<QToolButton *>()) {
        // Every button inside the row, none over another, and a caption only where it fits.
        QVERIFY2(row->rect().contains(b->geometry()), qPrintable(b->objectName()));
        if (b->toolButtonStyle() != Qt::ToolButtonIconOnly)
            QVERIFY2(b->width() >= b->sizeHint().width(), qPrintable(b->objectName()));
        QVERIFY(!b->toolTip().isEmpty());
    }
    // For the test's artefacts: how the editor looks at this size and scale.
    const QString shots = qEnvironmentVariable("SNAPVALE_ARTEFACTS");
    if (!shots.isEmpty()) {
        QDir().mkpath(shots);
        const QString scale = qEnvironmentVariable("QT_SCALE_FACTOR", QStringLiteral("1"));
        e->grab().save(QStringLiteral("%1/editor-%2-%3x.png")
                           .arg(shots, QLatin1String(enlarged ? "enlarged" : "default"), scale));
    }
}

void TestEditor::typedLineBreaks_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("shift");
    // A new text takes the platform's break; a text that came in keeps its own kind. Shift+Enter
    // is no other break (Qt's would be U+2028).
    for (bool shift : {false, true}) {
        const char *how = shift ? "Shift+Enter" : "Enter";
        QTest::addRow("%s, empty entry", how) << ""
                                              << "a" + Text::lineBreak() + "b" << shift;
        QTest::addRow("%s, one line", how) << "a"
                                           << "a" + Text::lineBreak() + "b" << shift;
        QTest::addRow("%s, CR LF text", how) << "x\r\na"
                                             << "x\r\na\r\nb" << shift;
        QTest::addRow("%s, LF text", how) << "x\na"
                                          << "x\na\nb" << shift;
    }
}

void TestEditor::typedLineBreaks() {
    QFETCH(QString, text);
    QFETCH(QString, typed);
    QFETCH(bool, shift);
    EditorWindow *e = open(13, text);
    QVERIFY(e);
    e->textEdit()->moveCursor(QTextCursor::End);
    if (text.isEmpty())
        QTest::keyClick(e->textEdit(), Qt::Key_A);
    QTest::keyClick(e->textEdit(), Qt::Key_Return, shift ? Qt::ShiftModifier : Qt::NoModifier);
    QTest::keyClick(e->textEdit(), Qt::Key_B);
    QCOMPARE(e->text(), typed);
    e->updateEntry();
    QCOMPARE(m_s->text(13), typed);
    e->close();
}

void TestEditor::opensEntryExactly_data() {
    QTest::addColumn<QString>("text");
    QTest::newRow("CR LF") << "a\r\nb\r\n";
    QTest::newRow("mixed breaks") << "a\rb\nc\r\nd";
    QTest::newRow("trailing spaces") << "  x  ";
    QTest::newRow("non-breaking space") << QStringLiteral("a\u00a0b");
    QTest::newRow("empty") << "";
}

void TestEditor::opensEntryExactly() {
    QFETCH(QString, text);
    // Opened and written back without an edit, an entry keeps every character.
    EditorWindow *e = open(12, text);
    QVERIFY(e);
    QVERIFY(e->isVisible());
    QCOMPARE(e->windowModality(), Qt::ApplicationModal);
    QCOMPARE(e->windowTitle(), QStringLiteral("Snapvale"));
    QCOMPARE(e->text(), text);
    e->updateEntry();
    QCOMPARE(m_s->text(12), text);
}

void TestEditor::openFile_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("shown");
    // Every byte of the text as it is, its own line breaks included, but one at the very end.
    QTest::newRow("CR LF") << QByteArray("a\r\nb\r\n") << "a\r\nb";
    QTest::newRow("CR only") << QByteArray("a\rb\r") << "a\rb";
    QTest::newRow("LF, as on Linux") << QByteArray("a\nb\n") << "a\nb";
    QTest::newRow("mixed, kept") << QByteArray("a\nb\r\nc\rd\n\n") << "a\nb\r\nc\rd\n";
    QTest::newRow("no final break") << QByteArray("a\r\nb") << "a\r\nb";
    QTest::newRow("empty file") << QByteArray() << "";
    QTest::newRow("empty line") << QByteArray("\r\n") << "";
    QTest::newRow("two empty lines") << QByteArray("\n\n") << "\n";
    QTest::newRow("UTF-8 with BOM") << QByteArray("\xEF\xBB\xBFgr\xC3\xBC\xC3\x9F\n") << "grüß";
    QTest::newRow("Windows-1252") << QByteArray("caf\xE9 \x80 \x93q\x94 \x81")
                                  << "café € “q” \u0081";
}

void TestEditor::openFile() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, shown);
    const QString file = path("open me.txt");
    writeBytes(file, bytes);
    EditorWindow *e = open(1, QStringLiteral("before"));
    m_s->desktop.nextFiles = {file};
    e->findChild<QAction *>(QStringLiteral("OpenMnu"))->trigger();
    QCOMPARE(e->text(), shown);
    QVERIFY(!e->text().contains(QChar::ReplacementCharacter));
    QCOMPARE(e->windowTitle(), QStringLiteral("open me.txt"));
    QCOMPARE(e->filePath(), file);
    const FileDialogRequest &asked = m_s->desktop.fileDialogs.constLast();
    QCOMPARE(asked.kind, FileDialogRequest::Open);
    QCOMPARE(asked.filter,
             QStringLiteral("Text Files (*.txt);;Entry Sets (*.ent);;All Files (*.*)"));
    QCOMPARE(asked.title, QString());
}

void TestEditor::openCancelledOrFailedChangesNothing() {
    const QString file = path("first.txt");
    writeBytes(file, "first");
    EditorWindow *e = open(2, QStringLiteral("entry"));
    m_s->desktop.nextFiles = {file};
    e->openFile();
    for (const QString &answer : {QString(), path("missing.txt")}) {
        m_s->desktop.nextFiles = {answer};
        e->openFile();
        QCOMPARE(e->text(), QStringLiteral("first"));
        QCOMPARE(e->windowTitle(), QStringLiteral("first.txt"));
        QCOMPARE(e->filePath(), file);
    }
}

void TestEditor::saveAndSaveAs() {
    EditorWindow *e = open(3, QStringLiteral("one\r\ntwo"));
    // Save with no current file asks like Save As; a cancel writes nothing and keeps the caption.
    m_s->desktop.nextFiles = {QString()};
    e->findChild<QAction *>(QStringLiteral("SaveMnu"))->trigger();
    QCOMPARE(m_s->desktop.fileDialogs.size(), 1);
    QCOMPARE(m_s->desktop.fileDialogs[0].kind, FileDialogRequest::Save);
    QVERIFY(m_s->desktop.fileDialogs[0].confirmOverwrite);
    QCOMPARE(m_s->desktop.fileDialogs[0].filter,
             QStringLiteral("Text Files (*.txt);;All Files (*.*)"));
    QCOMPARE(e->windowTitle(), QStringLiteral("Snapvale"));

    const QString file = path("saved.txt");
    writeBytes(file, "former content");
    m_s->desktop.nextFiles = {file};
    e->save();
    QCOMPARE(readBytes(file), QByteArray("one\r\ntwo\n"));
    QCOMPARE(e->windowTitle(), QStringLiteral("saved.txt"));

    // Now Save writes to that file without asking, UTF-8 without a byte-order mark.
    e->textEdit()->selectAll();
    e->textEdit()->insertPlainText(QStringLiteral("grün"));
    e->save();
    QCOMPARE(m_s->desktop.fileDialogs.size(), 2);
    QCOMPARE(readBytes(file), QByteArray("gr\xC3\xBCn\n"));

    // Opening and saving gives back the same file, however often; a file of another system's
    // line breaks keeps them.
    for (const QByteArray &bytes : {QByteArray("gr\xC3\xBCn\n"), QByteArray("a\r\nb\n")}) {
        writeBytes(file, bytes);
        for (int round = 1; round <= 2; ++round) {
            m_s->desktop.nextFiles = {file};
            e->openFile();
            e->save();
            QCOMPARE(readBytes(file), bytes);
        }
    }

    // A failed Save As leaves the former file and the caption as they were.
    m_s->desktop.nextFiles = {path("no folder/x.txt")};
    e->saveAs();
    QCOMPARE(e->windowTitle(), QStringLiteral("saved.txt"));
    QVERIFY(!QFile::exists(path("no folder/x.txt")));
}

void TestEditor::editMenuStates_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("selectFrom");
    QTest::addColumn<int>("selectTo");
    QTest::addColumn<QString>("clipboard");
    QTest::addColumn<bool>("cut");
    QTest::addColumn<bool>("paste");
    QTest::addColumn<bool>("selectAll");
    QTest::newRow("no selection") << "hello" << 2 << 2 << "x" << false << true << true;
    QTest::newRow("part selected") << "hello" << 1 << 3 << "x" << true << true << true;
    QTest::newRow("whole text selected") << "hello" << 0 << 5 << "x" << true << true << false;
    QTest::newRow("empty clipboard") << "hello" << 0 << 0 << "" << false << false << true;
    QTest::newRow("empty text") << "" << 0 << 0 << "x" << false << true << false;
}

void TestEditor::editMenuStates() {
    QFETCH(QString, text);
    QFETCH(int, selectFrom);
    QFETCH(int, selectTo);
    QFETCH(QString, clipboard);
    QFETCH(bool, cut);
    QFETCH(bool, paste);
    QFETCH(bool, selectAll);
    EditorWindow *e = open(4, text);
    QTextCursor c = e->textEdit()->textCursor();
    c.setPosition(selectFrom);
    c.setPosition(selectTo, QTextCursor::KeepAnchor);
    e->textEdit()->setTextCursor(c);
    m_s->desktop.clipboard = clipboard;
    emit e->findChild<QMenu *>(QStringLiteral("EditMnu"))->aboutToShow();
    QCOMPARE(e->findChild<QAction *>(QStringLiteral("CutMnu"))->isEnabled(), cut);
    QCOMPARE(e->findChild<QAction *>(QStringLiteral("CopyMnu"))->isEnabled(), cut);
    QCOMPARE(e->findChild<QAction *>(QStringLiteral("DeleteMnu"))->isEnabled(), cut);
    QCOMPARE(e->findChild<QAction *>(QStringLiteral("PasteMnu"))->isEnabled(), paste);
    QCOMPARE(e->findChild<QAction *>(QStringLiteral("SelectMnu"))->isEnabled(), selectAll);
}

void TestEditor::editCommands() {
    EditorWindow *e = open(5, QStringLiteral("one\r\ntwo three"));
    QTextCursor c = e->textEdit()->textCursor();
    c.setPosition(2);
    c.setPosition(6, QTextCursor::KeepAnchor);
    e->textEdit()->setTextCursor(c);
    e->copy();
    // A selection across a line keeps the line end the text has.
    QCOMPARE(m_s->desktop.clipboard, QStringLiteral("e\r\ntw"));
    e->cut();
    QCOMPARE(e->text(), QStringLiteral("ono three"));
    m_s->desktop.clipboard = QStringLiteral("[x]");
    e->paste();
    QCOMPARE(e->text(), QStringLiteral("on[x]o three"));

    // A cut whose copy fails keeps the text.
    e->selectAll();
    m_s->desktop.failingWrites = 1;
    e->cut();
    QCOMPARE(e->text(), QStringLiteral("on[x]o three"));
    QCOMPARE(m_s->desktop.messages,
             QStringList{QStringLiteral("Error copying to clipboard. Please retry.")});
    e->deleteSelection();
    QCOMPARE(e->text(), QString());
}

void TestEditor::copyButtons() {
    EditorWindow *e = open(6, QStringLiteral("  words \r\n  "));
    e->findChild<QToolButton *>(QStringLiteral("PicClip"))->click();
    QCOMPARE(m_s->desktop.clipboard, QStringLiteral("words \r\n"));
    QVERIFY(editor());

    m_s->desktop.failingWrites = 1;
    e->findChild<QToolButton *>(QStringLiteral("PicClipExit"))->click();
    QCOMPARE(m_s->desktop.messages.size(), 1);
    QVERIFY(editor());
    m_s->desktop.clipboard.clear();
    // An edited text just copied is not lost: Copy and Close asks nothing.
    QTest::keyClick(e->textEdit(), Qt::Key_X);
    e->findChild<QToolButton *>(QStringLiteral("PicClipExit"))->click();
    QCOMPARE(m_s->desktop.clipboard, QStringLiteral("x  words \r\n"));
    QVERIFY(m_s->desktop.questions.isEmpty());
    QVERIFY(!editor());
}

void TestEditor::fixedSizesAndCentring() {
    EditorWindow *e = open(7, QStringLiteral("x"));
    // It opens larger than the Default size: as large as Enlarge makes it, or larger.
    QVERIFY(e->findChild<QAction *>(QStringLiteral("DefaultMnu"))->isEnabled());
    QVERIFY(!e->findChild<QAction *>(QStringLiteral("EnlargeMnu"))->isEnabled());
    e->findChild<QAction *>(QStringLiteral("DefaultMnu"))->trigger();
    const QRect work = e->screen()->availableGeometry();
    const double tppX = 1440.0 / e->logicalDpiX();
    const double tppY = 1440.0 / e->logicalDpiY();

    e->findChild<QAction *>(QStringLiteral("EnlargeMnu"))->trigger();
    QCOMPARE(e->outerSizeTwips(), QSize(8000, 5600));
    QVERIFY(!e->findChild<QAction *>(QStringLiteral("EnlargeMnu"))->isEnabled());
    QVERIFY(e->findChild<QAction *>(QStringLiteral("DefaultMnu"))->isEnabled());
    QPoint at = EditorWindow::centredTwips(work, QSize(8000, 5600), tppX, tppY);
    QCOMPARE(e->frameGeometry().topLeft(), QPoint(qRound(at.x() / tppX), qRound(at.y() / tppY)));
    emit e->findChild<QMenu *>(QStringLiteral("WindowMnu"))->aboutToShow();
    QVERIFY(!e->findChild<QAction *>(QStringLiteral("EnlargeMnu"))->isEnabled());

    e->findChild<QAction *>(QStringLiteral("DefaultMnu"))->trigger();
    QCOMPARE(e->outerSizeTwips(), QSize(4455, 4200));
    QVERIFY(e->findChild<QAction *>(QStringLiteral("EnlargeMnu"))->isEnabled());
    QVERIFY(e->findChild<QAction *>(QStringLiteral("DefaultMnu"))->isEnabled());
    at = EditorWindow::centredTwips(work, QSize(4455, 4200), tppX, tppY);
    QCOMPARE(e->frameGeometry().topLeft(), QPoint(qRound(at.x() / tppX), qRound(at.y() / tppY)));
    emit e->findChild<QMenu *>(QStringLiteral("WindowMnu"))->aboutToShow();
    QVERIFY(!e->findChild<QAction *>(QStringLiteral("DefaultMnu"))->isEnabled());

    // Resized by hand, both come back.
    e->resize(e->width() + 30, e->height() + 30);
    emit e->findChild<QMenu *>(QStringLiteral("WindowMnu"))->aboutToShow();
    QVERIFY(e->findChild<QAction *>(QStringLiteral("DefaultMnu"))->isEnabled());
    QVERIFY(e->findChild<QAction *>(QStringLiteral("EnlargeMnu"))->isEnabled());
}

void TestEditor::openingSize_data() {
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("expected");
    QTest::newRow("first time: a screen of text") << ""
                                                  << "screen of text";
    QTest::newRow("a damaged stored size") << "wide"
                                           << "screen of text";
    QTest::newRow("a stored size of no window") << "0x5600"
                                                << "screen of text";
    QTest::newRow("the size when last closed") << "closed at"
                                               << "as closed";
    QTest::newRow("larger than the screen") << "28000x28000"
                                            << "within the screen";
    QTest::newRow("smaller than the window snaps to") << "100x100"
                                                      << "snap size";
}

// The editor opens showing a screen of text (80 columns and 25 lines), or at the size it was
// closed at, always within the screen.
void TestEditor::openingSize() {
    QFETCH(QString, stored);
    QFETCH(QString, expected);
    const QString text =
        QString(300, QLatin1Char('x')) + QString(QStringLiteral("\nline")).repeated(60);
    QSize closedAt;
    if (stored == QLatin1String("closed at")) {
        EditorWindow *first = open(4, text);
        first->resize(first->size() + QSize(57, 31));
        closedAt = first->size();
        first->close();
        QTRY_VERIFY(!editor());
        QVERIFY(m_s->stored(QStringLiteral("Settings"), QStringLiteral("EditorSize"))
                    .contains(QLatin1Char('x')));
    } else if (!stored.isEmpty()) {
        QVERIFY(m_s->store.set(QStringLiteral("Settings"), QStringLiteral("EditorSize"), stored));
    }
    EditorWindow *e = open(4, text);
    QVERIFY(e);
    const QSize work = e->screen()->availableGeometry().size();
    QVERIFY2(e->width() <= work.width() && e->height() <= work.height(),
             qPrintable(QStringLiteral("%1x%2").arg(e->width()).arg(e->height())));
    const QFontMetrics metrics(e->textEdit()->font());
    const int columns =
        e->textEdit()->viewport()->width() / metrics.horizontalAdvance(QLatin1Char('x'));
    const int lines = e->textEdit()->viewport()->height() / metrics.lineSpacing();
    const QString seen = QStringLiteral("%1 columns, %2 lines").arg(columns).arg(lines);
    if (expected == QLatin1String("screen of text")) {
        QVERIFY2(columns >= 80 && lines >= 24, qPrintable(seen));
    } else if (expected == QLatin1String("as closed")) {
        QCOMPARE(e->size(), closedAt);
    } else if (expected == QLatin1String("within the screen")) {
        QVERIFY(e->width() >= work.width() * 0.85 && e->height() >= work.height() * 0.85);
    } else {
        const QSize outer = e->outerSizeTwips();
        // Smaller than the Default size: what was stored, as far as the window goes.
        QVERIFY2(outer.width() < 4455 && outer.height() < 4200,
                 qPrintable(QStringLiteral("%1x%2 twips").arg(outer.width()).arg(outer.height())));
    }
}

void TestEditor::centringArithmetic_data() {
    QTest::addColumn<QRect>("work");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<double>("tpp");
    QTest::addColumn<QPoint>("topLeft");
    QTest::newRow("1024x738 at 96 DPI")
        << QRect(0, 0, 1024, 738) << QSize(8000, 5600) << 15.0 << QPoint(3680, 2735);
    QTest::newRow("work area offset by a panel")
        << QRect(0, 30, 1920, 1050) << QSize(4455, 4200) << 15.0 << QPoint(12172, 6225);
    QTest::newRow("window wider than the work area")
        << QRect(0, 0, 400, 300) << QSize(8000, 5600) << 15.0 << QPoint(-1000, -550);
    // 1366 x 0.75 = 1024.5 rounds to the even 1024.
    QTest::newRow("halves round to even")
        << QRect(1, 1, 1366, 1) << QSize(0, 0) << 0.75 << QPoint(513, 1);
}

void TestEditor::centringArithmetic() {
    QFETCH(QRect, work);
    QFETCH(QSize, size);
    QFETCH(double, tpp);
    QFETCH(QPoint, topLeft);
    QCOMPARE(EditorWindow::centredTwips(work, size, tpp, tpp), topLeft);
}

void TestEditor::snapsBack() {
    EditorWindow *e = open(8, QStringLiteral("x"));
    e->resize(20, 20);
    const QSize outer = e->outerSizeTwips();
    QVERIFY2(outer.width() >= 4250 && outer.width() < 4250 + 15,
             qPrintable(QString::number(outer.width())));
    QVERIFY2(outer.height() >= 2000 && outer.height() < 2000 + 15,
             qPrintable(QString::number(outer.height())));
    QVERIFY(e->textEdit()->height() > 0);
}

void TestEditor::largeTextArrivesInParts_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("stored");
    // The editor shows 64 KiB at once: 65,500 bytes of short lines and 35 more end its first
    // part between CR and LF, or in the middle of a character.
    const auto lines = [](const char *end) {
        return (QString(100 - qstrlen(end), QLatin1Char('b')) + QLatin1String(end)).repeated(655) +
               QString(35, QLatin1Char('c'));
    };
    QTest::newRow("CR LF across parts")
        << lines("\r\n") + QStringLiteral("\r\nline of text").repeated(200000) << false;
    QTest::newRow("character across parts, stored")
        << lines("\n") + QStringLiteral("€😀\n").repeated(300000) << true;
    QTest::newRow("one long line") << QString(3 * 1024 * 1024, QLatin1Char('x')) << false;
}

void TestEditor::largeTextArrivesInParts() {
    QFETCH(QString, text);
    QFETCH(bool, stored);
    m_s->setEntry(4, text, QStringLiteral("big"));
    if (stored) {
        // Read back from the store, so that the editor reads the text where it is kept.
        m_s->window.updateStartupEntries();
        m_s->window.restoreStartupEntries();
        QVERIFY(!m_s->session.entries().content(4).inMemory);
    }
    QByteArray bytes;
    QVERIFY(m_s->session.entries().peekUtf8(4, &bytes));
    m_s->window.setCurrentEntry(4);
    m_s->item("mnuEdit")->trigger();
    EditorWindow *e = editor();
    QVERIFY(e->isLoading());
    QVERIFY(e->textEdit()->isReadOnly());
    QVERIFY(e->textEdit()->document()->characterCount() > 1000);
    // Edits wait for the whole text: a paste or a deletion now would be dropped by the next
    // part (shown, then gone from what is written).
    m_s->desktop.clipboard = QStringLiteral("pasted while loading");
    e->textEdit()->moveCursor(QTextCursor::Start);
    e->textEdit()->moveCursor(QTextCursor::NextWord, QTextCursor::KeepAnchor);
    for (const char *item : {"PasteMnu", "CutMnu", "DeleteMnu"})
        e->findChild<QAction *>(QLatin1String(item))->trigger();
    QTest::keyClick(e->textEdit(), Qt::Key_Return, Qt::ShiftModifier);
    QVERIFY(!e->textEdit()->document()->isModified());
    e->textEdit()->moveCursor(QTextCursor::Start);
    // Written back before the rest has arrived, the entry keeps every byte.
    e->updateEntry();
    QCOMPARE(m_s->session.entries().utf8(4), bytes);

    QTRY_VERIFY_WITH_TIMEOUT(!e->isLoading(), 30000);
    QVERIFY(!e->textEdit()->isReadOnly());
    QVERIFY(!e->textEdit()->document()->isUndoAvailable());
    QCOMPARE(e->textEdit()->textCursor().position(), 0);
    // Edited, the text keeps its own line breaks: no break was doubled, no character split.
    QTextCursor end(e->textEdit()->document());
    end.movePosition(QTextCursor::End);
    e->textEdit()->setTextCursor(end);
    e->textEdit()->insertPlainText(QStringLiteral("!"));
    QCOMPARE(e->text(), text + QLatin1Char('!'));
    QCOMPARE(e->textEdit()->wordWrapMode(), text.contains(QLatin1Char('\n'))
                                                ? QTextOption::WrapAtWordBoundaryOrAnywhere
                                                : QTextOption::WrapAnywhere);
}

void TestEditor::followsItsEntry_data() {
    QTest::addColumn<QString>("before"); // what the editor shows when the entry changes
    QTest::addColumn<int>("answer");     // to "write over the newer text?": -1 none asked
    QTest::addColumn<QString>("shown");  // what the editor shows then
    QTest::addColumn<QString>("after");  // entry 3 after Update
    QTest::newRow("unedited: follows, Update writes the newer text")
        << "entry" << -1 << "pasted meanwhile"
        << "pasted meanwhile";
    QTest::newRow("edited: asked, Replace") << "edited" << 0 << "edited"
                                            << "edited";
    QTest::newRow("edited: asked, Cancel") << "edited" << 1 << "edited"
                                           << "pasted meanwhile";
    QTest::newRow("a file opened: asked, Cancel") << "file" << 1 << "from a file"
                                                  << "pasted meanwhile";
}

void TestEditor::followsItsEntry() {
    // A paste (or Load Set) changes the entry under the open editor: an unedited editor shows
    // the newer text, and no Update puts the older one back without a question.
    QFETCH(QString, before);
    QFETCH(int, answer);
    QFETCH(QString, shown);
    QFETCH(QString, after);
    EditorWindow *e = open(3, QStringLiteral("old"));
    QVERIFY(e);
    if (before == QLatin1String("edited")) {
        e->textEdit()->selectAll();
        e->textEdit()->insertPlainText(QStringLiteral("edited"));
    } else if (before == QLatin1String("file")) {
        QFile file(path("file.txt"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("from a file\n");
        file.close();
        m_s->desktop.nextFiles << path("file.txt");
        e->openFile();
    }
    m_s->setEntry(3, QStringLiteral("pasted meanwhile"));
    QTRY_VERIFY(!e->isLoading());
    QCOMPARE(e->text(), shown);
    if (answer >= 0)
        m_s->desktop.nextAnswers << answer;
    m_s->desktop.questions.clear();
    e->updateEntry();
    QCOMPARE(m_s->desktop.questions.size(), answer >= 0 ? 1 : 0);
    QCOMPARE(m_s->text(3), after);
    // Once written, or asked about, the next change is judged from there.
    m_s->desktop.questions.clear();
    if (answer == 0) {
        e->updateEntry();
        QVERIFY(m_s->desktop.questions.isEmpty());
    }
}

void TestEditor::updateAndAdd_data() {
    QTest::addColumn<int>("entry");
    QTest::addColumn<bool>("add");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("name");
    QTest::newRow("update 1") << 1 << false << "Entry #1 Updated"
                              << "Mine";
    QTest::newRow("update 12") << 12 << false << "Entry #12 Updated."
                               << "Mine";
    QTest::newRow("add 1") << 1 << true << "Entry #1 Added."
                           << "Untitled";
    QTest::newRow("add 12") << 12 << true << "Entry #12 Added."
                            << "Untitled";
}

void TestEditor::updateAndAdd() {
    QFETCH(int, entry);
    QFETCH(bool, add);
    QFETCH(QString, message);
    QFETCH(QString, name);
    EditorWindow *e = open(entry, QStringLiteral("old"), QStringLiteral("Mine"));
    QCOMPARE(e->entry(), entry);
    e->textEdit()->selectAll();
    e->textEdit()->insertPlainText(QStringLiteral("new\nlines"));
    // Twice: the same message twice, the same text; the editor stays open.
    QVERIFY(QTest::qWaitForWindowActive(e));
    for (int i = 0; i < 2; ++i) {
        QTest::keyClick(e->textEdit(), add ? Qt::Key_A : Qt::Key_U, Qt::AltModifier);
        // An access key clicks its button with a short animation.
        QTRY_COMPARE(m_s->desktop.messages.size(), i + 1);
        QCOMPARE(m_s->desktop.messages.last(), message);
    }
    // A text without line breaks takes the platform's for the ones typed.
    QCOMPARE(m_s->text(entry), "new" + Text::lineBreak() + "lines");
    QCOMPARE(m_s->name(entry), name);
    QVERIFY(editor());
    QCOMPARE(m_s->text(entry == 1 ? 12 : 1), QString());
}

void TestEditor::followsOnTopWhenItLoads() {
    EditorWindow *e = open(9, QStringLiteral("x"));
    QVERIFY(e->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    e->close();
    m_s->window.toggleOnTop();
    QVERIFY(!open(9, QStringLiteral("x"))->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
}

QTEST_MAIN(TestEditor)
#include "test_editor.moc"
