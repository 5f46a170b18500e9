#include "editor/editorwindow.h"

#include "core/storedsettings.h"
#include "core/text.h"
#include "main/icons.h"
#include "main/mainwindow.h"
#include "platform/desktop.h"
#include "platform/twips.h"

#include <QAction>
#include <QCloseEvent>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QResizeEvent>
#include <QScreen>
#include <QScrollBar>
#include <QTextBlock>
#include <QToolButton>

#include <cmath>

namespace {

// Fixed sizes and the smallest size, in twips.
constexpr int defaultWidth = 4455, defaultHeight = 4200;
constexpr int enlargedWidth = 8000, enlargedHeight = 5600;
constexpr int snapWidth = 4250, snapHeight = 2000;
// The toolbar's and status strip's heights.
constexpr int toolbarHeight = 480, statusHeight = 200;
// Lines longer than this wrap anywhere rather than at word boundaries.
constexpr qsizetype longLine = 4096;
// A large text shows this much at once, more than a screen holds, and the rest in parts of
// `loadPartBytes` for at most `loadStepMs` at a time.
constexpr qint64 firstPartBytes = 64 * 1024;
constexpr qint64 loadPartBytes = 256 * 1024;
constexpr qint64 loadStepMs = 10;
// The frame the resize offsets assume around the client area.
constexpr int frameAllowance = 120;

// The pressed image of a picture button: its picture, a little darker and one pixel in.
QIcon pressedIcon(const QIcon &icon, const QSize &size) {
    QPixmap up = icon.pixmap(size);
    QPixmap down(up.size());
    down.setDevicePixelRatio(up.devicePixelRatio());
    down.fill(Qt::transparent);
    QPainter p(&down);
    p.drawPixmap(1, 1, up);
    p.setCompositionMode(QPainter::CompositionMode_SourceAtop);
    p.fillRect(down.rect(), QColor(0, 0, 0, 60));
    return QIcon(down);
}

} // namespace

EditorWindow::EditorWindow(MainWindow &main, int n)
    : QMainWindow(&main, Qt::Tool)
    , m_main(main)
    , m_entry(n) {
    setObjectName(QStringLiteral("FrmText"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowModality(Qt::ApplicationModal);
    setWindowTitle(QStringLiteral("Snapvale"));
    main.applyStackOrder(this);
    m_loader.setInterval(0);
    connect(&m_loader, &QTimer::timeout, this, &EditorWindow::loadMore);
    connect(&main.session().entries(), &EntryStore::entryChanged, this, [this](int changed) {
        if (changed == m_entry)
            followEntry();
    });
    // The store's views go (a secret's text is to leave the log): the text given here comes
    // into memory too, the entry's own where it is the same.
    connect(&main.session(), &EntrySession::storeViewsReleasing, this, [this] {
        if (!m_given.isStored() || m_given.inMemory) {
            m_given.releaseStoreView();
            return;
        }
        const EntryStore::Content &entry = m_main.session().entries().content(m_entry);
        QByteArray whole;
        if (entry.inMemory && entry.sameAs(m_given))
            m_given = entry;
        else if (m_given.read(0, m_given.bytes, &whole))
            m_given = EntryStore::contentOf(whole);
        m_given.releaseStoreView();
    });

    m_client = new QWidget(this);
    setCentralWidget(m_client);
    buildToolbar();
    buildMenus();

    m_text = new QPlainTextEdit(m_client);
    m_text->setObjectName(QStringLiteral("TxtComplete"));
    m_text->setAccessibleName(QStringLiteral("Text"));
    m_text->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // Drawn above the two access-key buttons, which only need to exist for Alt+U and Alt+A.
    m_text->raise();
    m_text->installEventFilter(this);

    auto *status = new QWidget(m_client);
    status->setObjectName(QStringLiteral("PicStatus1"));

    // Esc closes the window as File, Close does, asking first when there are edits.
    auto *escape = new QAction(this);
    escape->setObjectName(QStringLiteral("EscapeClose"));
    escape->setShortcut(QKeySequence(Qt::Key_Escape));
    connect(escape, &QAction::triggered, this, &QWidget::close);
    addAction(escape);

    resize(openingSize());
    updateWindowMenu();
}

QSize EditorWindow::openingSize() const {
    const QSize stored = loadEditorSize(m_main.session().store());
    QSize px;
    if (stored.isValid()) {
        px = Twips::toPixels(stored.width(), stored.height(), this);
    } else {
        // A screen of text: 80 columns and 25 lines, with the toolbar, menu and status strip,
        // and never less than the Enlarge size.
        const QFontMetrics metrics(m_text->font());
        const int margins = 2 * (m_text->frameWidth() + int(m_text->document()->documentMargin()));
        px =
            QSize(metrics.horizontalAdvance(QString(80, QLatin1Char('x'))) + margins +
                      m_text->verticalScrollBar()->sizeHint().width() + Twips::toPixelsX(125, this),
                  metrics.lineSpacing() * 25 + margins + menuBar()->sizeHint().height() +
                      Twips::toPixelsY(toolbarHeight + statusHeight, this));
        px = px.expandedTo(Twips::toPixels(enlargedWidth, enlargedHeight, this));
    }
    // Within the screen, and never below the size the window snaps back from.
    if (const QScreen *s = screen())
        px = px.boundedTo(s->availableGeometry().size() * 0.9);
    return px.expandedTo(Twips::toPixels(snapWidth, snapHeight, this));
}

QToolButton *EditorWindow::pictureButton(const char *name, const char *icon, const QString &tip) {
    auto *button = new QToolButton(m_toolRow);
    button->setObjectName(QLatin1String(name));
    button->setToolTip(tip);
    button->setAccessibleName(tip);
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    const QIcon up = Icons::get(icon);
    const QIcon down = pressedIcon(up, button->iconSize());
    button->setIcon(up);
    connect(button, &QToolButton::pressed, button, [button, down] { button->setIcon(down); });
    connect(button, &QToolButton::released, button, [button, up] { button->setIcon(up); });
    m_toolRow->layout()->addWidget(button);
    return button;
}

void EditorWindow::place(QWidget *w, int left, int top, int width, int height) {
    w->setGeometry(Twips::toPixelsX(left, this), Twips::toPixelsY(top, this),
                   Twips::toPixelsX(width, this), Twips::toPixelsY(height, this));
}

void EditorWindow::buildToolbar() {
    // The row lays its buttons out from their own sizes, so that fonts and scaling fit; where
    // the captions do not fit, Update and Add show their pictures alone (their tooltips say
    // what they do).
    m_toolRow = new QWidget(m_client);
    m_toolRow->setObjectName(QStringLiteral("ToolRow"));
    auto *row = new QHBoxLayout(m_toolRow);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(Twips::toPixelsX(15, this));
    connect(pictureButton("PicOpen", "open", tr("Open File")), &QToolButton::clicked, this,
            &EditorWindow::openFile);
    connect(pictureButton("PicSave", "save", tr("Save File")), &QToolButton::clicked, this,
            &EditorWindow::save);
    connect(pictureButton("PicExit", "exit", tr("Close Text Editor")), &QToolButton::clicked, this,
            &QWidget::close);
    connect(pictureButton("PicClip", "copy", tr("Copy Entry to Clipboard")), &QToolButton::clicked,
            this, &EditorWindow::copyText);
    connect(
        pictureButton("PicClipExit", "clipexit", tr("Copy Entry to Clipboard / Close Text Editor")),
        &QToolButton::clicked, this, &EditorWindow::copyTextAndClose);
    row->addStretch(1);
    m_update = pictureButton("PicUpdate1", "update", tr("Update Existing Entry"));
    m_add = pictureButton("PicAdd1", "add", tr("Add New or Replace Entire Entry"));
    m_update->setText(QStringLiteral("Update"));
    m_add->setText(QStringLiteral("Add"));
    connect(m_update, &QToolButton::clicked, this, &EditorWindow::updateEntry);
    connect(m_add, &QToolButton::clicked, this, &EditorWindow::addEntry);

    auto *status = new QLabel(m_toolRow);
    status->setObjectName(QStringLiteral("PicStatus2"));
    status->setPixmap(
        Icons::get("snapvale").pixmap(Twips::toPixelsX(260, this), Twips::toPixelsY(260, this)));
    row->addWidget(status, 0, Qt::AlignVCenter);

    // The toolbar's frame: light along the top and left, dark along the bottom and right, in
    // the colours of the theme.
    const struct {
        const char *name;
        QPalette::ColorRole role;
        int left, top, width, height;
    } lines[] = {{"Line1", QPalette::Light, 20, 0, 4290, 15},
                 {"Line2", QPalette::Dark, 20, 435, 4290, 15},
                 {"Line3", QPalette::Light, 20, 0, 15, 450},
                 {"Line4", QPalette::Dark, 4300, 0, 15, 450}};
    for (const auto &l : lines) {
        auto *line = new QFrame(m_client);
        line->setObjectName(QLatin1String(l.name));
        line->setAutoFillBackground(true);
        line->setBackgroundRole(l.role);
        place(line, l.left, l.top, l.width, l.height);
    }

    // Alt+U and Alt+A, from buttons that lie under the text.
    for (const auto &[name, caption, handler] :
         {std::tuple{"CmdU", "&U", &EditorWindow::updateEntry},
          std::tuple{"CmdA", "&A", &EditorWindow::addEntry}}) {
        auto *b = new QPushButton(QLatin1String(caption), m_client);
        b->setObjectName(QLatin1String(name));
        b->setFocusPolicy(Qt::NoFocus);
        place(b, 120, 720, 200, 200);
        connect(b, &QPushButton::clicked, this, handler);
    }
}

void EditorWindow::buildMenus() {
    const auto menu = [this](const char *name, const QString &caption) {
        QMenu *m = menuBar()->addMenu(caption);
        m->setObjectName(QLatin1String(name));
        m->menuAction()->setObjectName(QLatin1String(name));
        return m;
    };
    const auto item = [this](QMenu *m, const char *name, const QString &caption,
                             const char *shortcut, void (EditorWindow::*handler)()) {
        QAction *a = m->addAction(caption);
        a->setObjectName(QLatin1String(name));
        if (shortcut)
            a->setShortcut(QKeySequence(QLatin1String(shortcut)));
        connect(a, &QAction::triggered, this, handler);
        return a;
    };
    EditorActions &a = m_actions;

    QMenu *file = menu("FileMnu", tr("&File"));
    a.open = item(file, "OpenMnu", tr("&Open"), "Ctrl+O", &EditorWindow::openFile);
    a.save = item(file, "SaveMnu", tr("&Save"), "Ctrl+S", &EditorWindow::save);
    a.saveAs = item(file, "SaveAsMnu", tr("Save &As..."), nullptr, &EditorWindow::saveAs);
    file->addSeparator();
    a.close = file->addAction(tr("&Close"));
    a.close->setObjectName(QStringLiteral("CloseMnu"));
    a.close->setShortcut(QKeySequence(QStringLiteral("Ctrl+W")));
    connect(a.close, &QAction::triggered, this, &QWidget::close);

    QMenu *edit = menu("EditMnu", tr("&Edit"));
    a.cut = item(edit, "CutMnu", tr("Cu&t"), "Ctrl+X", &EditorWindow::cut);
    a.copy = item(edit, "CopyMnu", tr("&Copy"), "Ctrl+C", &EditorWindow::copy);
    a.paste = item(edit, "PasteMnu", tr("&Paste"), "Ctrl+V", &EditorWindow::paste);
    a.remove = item(edit, "DeleteMnu", tr("&Delete"), "Del", &EditorWindow::deleteSelection);
    edit->addSeparator();
    a.selectAll = item(edit, "SelectMnu", tr("&Select All"), "Ctrl+A", &EditorWindow::selectAll);
    connect(edit, &QMenu::aboutToShow, this, &EditorWindow::updateEditMenu);

    QMenu *window = menu("WindowMnu", tr("&Window"));
    a.enlarge = item(window, "EnlargeMnu", tr("&Enlarge"), "Ctrl+E", &EditorWindow::enlarge);
    a.defaultSize =
        item(window, "DefaultMnu", tr("&Default"), "Ctrl+D", &EditorWindow::defaultSize);
    a.defaultSize->setEnabled(false);
    connect(window, &QMenu::aboutToShow, this, &EditorWindow::updateWindowMenu);
}

QString EditorWindow::text() const {
    // Unedited, the text is exactly what was given; the widget itself keeps one line-break kind.
    if (!m_text->document()->isModified())
        return m_given.decoded();
    QString raw = m_text->document()->toRawText();
    raw.replace(QChar::ParagraphSeparator, m_crlf ? QStringLiteral("\r\n") : QStringLiteral("\n"));
    return raw;
}

void EditorWindow::setText(const QString &text) {
    m_followsEntry = false;
    setContent(EntryStore::contentOf(text.toUtf8()));
}

void EditorWindow::showEntry(const EntryStore::Content &content) {
    m_entryVersion = m_main.session().entries().textVersion(m_entry);
    m_followsEntry = true;
    setContent(content);
}

bool EditorWindow::entryChangedMeanwhile() const {
    return m_main.session().entries().textVersion(m_entry) != m_entryVersion;
}

void EditorWindow::followEntry() {
    const EntryStore &entries = m_main.session().entries();
    // A secret is shown only after its question; an edit is the user's and stays.
    if (!m_followsEntry || !entryChangedMeanwhile() || m_text->document()->isModified() ||
        entries.isSecret(m_entry) || entries.isUnreadable(m_entry))
        return;
    showEntry(entries.content(m_entry));
}

bool EditorWindow::mayWriteEntry() {
    if (!entryChangedMeanwhile())
        return true;
    return m_main.desktop().ask(this,
                                tr("Entry %1 changed while the editor was open.\r\nWrite this "
                                   "text over the text it holds now?")
                                    .arg(m_entry),
                                {tr("&Replace"), tr("&Cancel")}, 1, 1) == 0;
}

void EditorWindow::wroteEntry() {
    markUnedited();
    m_entryVersion = m_main.session().entries().textVersion(m_entry);
    m_followsEntry = true;
}

void EditorWindow::setContent(const EntryStore::Content &content) {
    m_given = content;
    m_shownBytes = 0;
    m_unreadable = false;
    m_decoder = QStringDecoder(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
    m_heldBack.clear();
    m_lineLength = 0;
    m_sawLf = m_sawCrLf = false;
    m_text->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    // Loading is not editing: no undo step and no change to discard.
    m_text->document()->setUndoRedoEnabled(false);
    m_text->clear();
    m_text->setReadOnly(true);
    appendNextPart(firstPartBytes);
    // The caret starts at the top, as for any text opened; later parts go in after it.
    m_text->moveCursor(QTextCursor::Start);
    // Nothing more to come: the text is whole at once.
    if (m_shownBytes >= m_given.bytes)
        loadMore();
    else
        m_loader.start();
}

bool EditorWindow::appendNextPart(qint64 bytes) {
    QByteArray part;
    const qint64 length = std::min(bytes, m_given.bytes - m_shownBytes);
    if (length > 0 && !m_given.read(m_shownBytes, length, &part)) {
        // Part of the entry's text cannot be read: it is not shown in part, to be edited and
        // written back shorter. The window says why.
        m_unreadable = true;
        m_shownBytes = m_given.bytes;
        m_main.session().entries().markUnreadable(m_entry);
        QTimer::singleShot(0, this, &EditorWindow::closeWithoutAsking);
        return false;
    }
    m_shownBytes += length;
    const bool last = m_shownBytes >= m_given.bytes || part.size() != length;
    QString piece = m_heldBack + m_decoder.decode(part);
    m_heldBack.clear();
    // A CR and its LF go in together, or the widget would see two line breaks.
    if (!last && piece.endsWith(QLatin1Char('\r'))) {
        m_heldBack = QStringLiteral("\r");
        piece.chop(1);
    }
    // Wrapping at word boundaries costs time that grows with the square of a line's length: a
    // text with a line of megabytes would freeze the window. Such a text wraps anywhere.
    const QChar *data = piece.constData();
    for (qsizetype i = 0; i < piece.size(); ++i) {
        if (data[i] == QLatin1Char('\n') || data[i] == QLatin1Char('\r')) {
            if (data[i] == QLatin1Char('\n')) {
                m_sawLf = true;
                m_sawCrLf = m_sawCrLf || (i > 0 && data[i - 1] == QLatin1Char('\r'));
            }
            m_lineLength = 0;
        } else if (++m_lineLength == longLine + 1) {
            m_text->setWordWrapMode(QTextOption::WrapAnywhere);
        }
    }
    QTextCursor end(m_text->document());
    end.movePosition(QTextCursor::End);
    end.insertText(piece);
    m_text->document()->setModified(false);
    return !last;
}

void EditorWindow::loadMore() {
    // Steps of a few milliseconds each, so that the window answers while the rest arrives.
    QElapsedTimer step;
    step.start();
    bool more = true;
    while (more && step.elapsed() < loadStepMs)
        more = appendNextPart(loadPartBytes);
    if (more)
        return;
    m_loader.stop();
    m_crlf = m_sawCrLf || (!m_sawLf && Text::lineBreak().size() == 2);
    m_text->document()->setUndoRedoEnabled(true);
    m_text->document()->setModified(false);
    m_text->setReadOnly(m_unreadable);
}

QString EditorWindow::selectedText() const {
    QString selected = m_text->textCursor().selectedText();
    selected.replace(QChar::ParagraphSeparator,
                     m_crlf ? QStringLiteral("\r\n") : QStringLiteral("\n"));
    return selected;
}

void EditorWindow::markUnedited() {
    // What was just written into the entry or a file counts as the text as given. Edits written
    // are the file's text, not the entry's: the editor no longer follows the entry.
    m_followsEntry = m_followsEntry && !m_text->document()->isModified();
    m_given = contentToWrite();
    m_text->document()->setModified(false);
}

EntryStore::Content EditorWindow::contentToWrite() const {
    if (!m_text->document()->isModified())
        return m_given;
    return EntryStore::contentOf(text().toUtf8());
}

void EditorWindow::closeWithoutAsking() {
    m_text->document()->setModified(false);
    close();
}

void EditorWindow::closeEvent(QCloseEvent *event) {
    // Typed text is not thrown away without a word; Cancel is the safe answer.
    if (m_text->document()->isModified() &&
        m_main.desktop().ask(this, tr("Discard the changes to this text?"),
                             {tr("&Discard"), tr("&Cancel")}, 1, 1) != 0) {
        event->ignore();
        return;
    }
    // The next editor opens at this size. Not kept (a full disk) it opens at the usual one: no
    // message for that.
    const QSize twips(qRound(width() * 1440.0 / logicalDpiX()),
                      qRound(height() * 1440.0 / logicalDpiY()));
    SettingsStore &store = m_main.session().store();
    if (loadEditorSize(store) != twips)
        saveEditorSize(store, twips);
    QMainWindow::closeEvent(event);
}

void EditorWindow::resizeEvent(QResizeEvent *event) {
    QMainWindow::resizeEvent(event);
    // Dragged narrower or lower than the toolbar needs, the window snaps back.
    const QSize outer = outerSizeTwips();
    if (outer.width() < snapWidth || outer.height() < snapHeight) {
        setOuterSizeTwips(std::max(outer.width(), snapWidth), std::max(outer.height(), snapHeight));
        return;
    }
    layoutControls();
}

void EditorWindow::layoutControls() {
    // Right-hand controls keep their distance from the right edge; the text takes the rest.
    const int w = qRound(m_client->width() * 1440.0 / logicalDpiX()) + frameAllowance;
    const int h = qRound(m_client->height() * 1440.0 / logicalDpiY());
    place(m_toolRow, 80, 30, w - 80 - 190, toolbarHeight - 60);
    const bool captionsFit = [this] {
        for (QToolButton *b : {m_update, m_add})
            b->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        return m_toolRow->minimumSizeHint().width() <= m_toolRow->width();
    }();
    if (!captionsFit) {
        for (QToolButton *b : {m_update, m_add})
            b->setToolButtonStyle(Qt::ToolButtonIconOnly);
    }
    if (auto *line = m_client->findChild<QWidget *>(QStringLiteral("Line4")))
        line->move(Twips::toPixelsX(w - 150, this), line->y());
    for (const char *name : {"Line1", "Line2"}) {
        if (auto *line = m_client->findChild<QWidget *>(QLatin1String(name)))
            line->resize(Twips::toPixelsX(w - 150 - 20, this), line->height());
    }
    place(m_text, 0, toolbarHeight, w - 125 + 5, h - toolbarHeight - statusHeight);
    if (auto *status = m_client->findChild<QWidget *>(QStringLiteral("PicStatus1")))
        place(status, 0, h - statusHeight, w - frameAllowance, statusHeight);
}

QSize EditorWindow::outerSizeTwips() const {
    const QSize px = frameGeometry().size();
    // A size set in twips reads back as set while the window keeps the pixels it was given.
    if (px == m_setPixels)
        return m_setTwips;
    return {qRound(px.width() * 1440.0 / logicalDpiX()),
            qRound(px.height() * 1440.0 / logicalDpiY())};
}

void EditorWindow::setOuterSizeTwips(int width, int height) {
    const QSize frame = frameGeometry().size() - size();
    resize(Twips::toPixels(width, height, this) - frame);
    m_setPixels = frameGeometry().size();
    m_setTwips = QSize(width, height);
}

QPoint EditorWindow::centredTwips(const QRect &workArea, const QSize &size, double twipsPerPixelX,
                                  double twipsPerPixelY) {
    // Rounded to the nearest whole twip, halves to even, as the arithmetic was designed.
    const auto round = [](double v) { return int(std::nearbyint(v)); };
    const int workHeight = round(workArea.height() * twipsPerPixelY);
    const int workWidth = round(workArea.width() * twipsPerPixelX);
    const int workLeft = round(workArea.left() * twipsPerPixelX);
    const int workTop = round(workArea.top() * twipsPerPixelY);
    return {(workWidth - size.width()) / 2 + workLeft, (workHeight - size.height()) / 2 + workTop};
}

void EditorWindow::centre() {
    const QScreen *s = screen();
    const double tppX = 1440.0 / logicalDpiX();
    const double tppY = 1440.0 / logicalDpiY();
    const QPoint at = centredTwips(s->availableGeometry(), outerSizeTwips(), tppX, tppY);
    move(qRound(at.x() / tppX), qRound(at.y() / tppY));
}

void EditorWindow::updateWindowMenu() {
    const QSize size = outerSizeTwips();
    m_actions.defaultSize->setEnabled(size.width() != defaultWidth ||
                                      size.height() != defaultHeight);
    m_actions.enlarge->setEnabled(size.width() < enlargedWidth || size.height() < enlargedHeight);
}

void EditorWindow::enlarge() {
    setOuterSizeTwips(enlargedWidth, enlargedHeight);
    centre();
    m_actions.enlarge->setEnabled(false);
    m_actions.defaultSize->setEnabled(true);
}

void EditorWindow::defaultSize() {
    setOuterSizeTwips(defaultWidth, defaultHeight);
    centre();
    m_actions.enlarge->setEnabled(true);
}

bool EditorWindow::writeTo(const QString &path) {
    QString error;
    if (Text::writeFileAtomically(path, text() + Text::lineBreak(), &error))
        return true;
    showWriteFailure(m_main.desktop(), this, path, error);
    return false;
}

void EditorWindow::openFile() {
    const QString path = m_main.desktop().chooseFile(
        this, {FileDialogRequest::Open, QString(),
               tr("Text Files (*.txt);;Entry Sets (*.ent);;All Files (*.*)"), QString(), false});
    if (path.isEmpty())
        return;
    QString read;
    QString error;
    // A file that cannot be read changes nothing: the editor keeps its file, text and caption.
    if (Text::readFile(path, read, &error)) {
        m_filePath = path;
        setWindowTitle(QFileInfo(path).fileName());
        setText(read);
    } else {
        showReadFailure(m_main.desktop(), this, path, error);
    }
    m_text->setFocus();
}

bool EditorWindow::maySaveTo(const QString &path) {
    // A secret's text goes to a file only when the user says so, once for each file.
    if (!m_main.session().isSecret(m_entry) || (!path.isEmpty() && path == m_secretFileAllowed))
        return true;
    if (!askSaveSecret(m_main.desktop(), this, m_entry))
        return false;
    m_secretFileAllowed = path;
    return true;
}

void EditorWindow::saveAs() {
    const bool secret = m_main.session().isSecret(m_entry);
    if (secret && !maySaveTo(QString()))
        return;
    const QString path = m_main.desktop().chooseFile(
        this, {FileDialogRequest::Save, QString(), FileFilter::text(), QString(), true});
    if (path.isEmpty())
        return;
    // Made secret while the file was chosen (--secret N on): asked now.
    if (secret)
        m_secretFileAllowed = path;
    else if (!maySaveTo(path))
        return;
    if (writeTo(path)) {
        m_filePath = path;
        setWindowTitle(QFileInfo(path).fileName());
        markUnedited();
    }
    m_text->setFocus();
}

void EditorWindow::save() {
    if (m_filePath.isEmpty())
        saveAs();
    else if (maySaveTo(m_filePath) && writeTo(m_filePath))
        markUnedited();
}

bool EditorWindow::copyOut(const QString &text) {
    EntrySession &session = m_main.session();
    if (!session.isSecret(m_entry))
        return copyToClipboard(m_main.desktop(), this, text);
    // As every copy of a secret: marked, and cleared later even once this window is closed.
    return copySecret(m_main.desktop(), this, &m_main, session, m_entry, text.toUtf8());
}

void EditorWindow::copyText() {
    const QString whole = text();
    copyOut(m_main.session().isSecret(m_entry) ? whole : Text::trimSpaces(whole));
    m_text->setFocus();
}

void EditorWindow::copyTextAndClose() {
    // The text was just copied: closing loses nothing, so nothing is asked.
    const QString whole = text();
    if (copyOut(m_main.session().isSecret(m_entry) ? whole : Text::trimSpaces(whole)))
        closeWithoutAsking();
}

void EditorWindow::updateEditMenu() {
    const QTextCursor cursor = m_text->textCursor();
    const bool selection = cursor.hasSelection();
    const bool editable = !m_text->isReadOnly();
    m_actions.copy->setEnabled(selection);
    for (QAction *item : {m_actions.cut, m_actions.remove})
        item->setEnabled(selection && editable);
    const int length = m_text->document()->characterCount() - 1;
    QString clipboard;
    m_actions.paste->setEnabled(editable && m_main.desktop().clipboardText(clipboard) &&
                                !clipboard.isEmpty());
    const bool allSelected = cursor.selectionStart() == 0 && cursor.selectionEnd() == length;
    m_actions.selectAll->setEnabled(length > 0 && !allSelected);
}

bool EditorWindow::eventFilter(QObject *watched, QEvent *event) {
    // Shift+Enter would put a line separator (U+2028) into the text; every typed line break is
    // the text's own kind.
    if (watched == m_text && event->type() == QEvent::KeyPress && !m_text->isReadOnly()) {
        auto *key = static_cast<QKeyEvent *>(event);
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) &&
            (key->modifiers() & Qt::ShiftModifier)) {
            m_text->textCursor().insertBlock();
            m_text->ensureCursorVisible();
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void EditorWindow::cut() {
    // Only text that reached the clipboard leaves the editor; nothing changes while the text is
    // still arriving (the next part would count the change as the text as given).
    if (m_text->isReadOnly())
        return;
    if (copyOut(selectedText()))
        m_text->textCursor().removeSelectedText();
}

void EditorWindow::copy() {
    copyOut(selectedText());
}

void EditorWindow::paste() {
    QString clipboard;
    if (!m_text->isReadOnly() && clipboardHoldsText(m_main.desktop(), this) &&
        readClipboard(m_main.desktop(), this, clipboard))
        m_text->textCursor().insertText(clipboard);
}

void EditorWindow::deleteSelection() {
    if (!m_text->isReadOnly())
        m_text->textCursor().removeSelectedText();
}

void EditorWindow::selectAll() {
    m_text->setFocus();
    m_text->selectAll();
}

bool EditorWindow::fitsInEntry(qint64 utf8Bytes) {
    if (utf8Bytes <= EntryStore::maxTextBytes())
        return true;
    m_main.desktop().message(this, EntryStore::tooLargeMessage());
    return false;
}

void EditorWindow::updateEntry() {
    const EntryStore::Content written = contentToWrite();
    if (!fitsInEntry(written.bytes) || !mayWriteEntry())
        return;
    m_main.session().setEntryContent(m_entry, written, m_main.session().entries().name(m_entry));
    wroteEntry();
    // Entry 1's message has no full stop, and never had.
    m_main.desktop().message(this, m_entry == 1 ? tr("Entry #1 Updated")
                                                : tr("Entry #%1 Updated.").arg(m_entry));
}

void EditorWindow::addEntry() {
    const EntryStore::Content written = contentToWrite();
    if (!fitsInEntry(written.bytes) || !mayWriteEntry())
        return;
    m_main.session().setEntryContent(m_entry, written, EntryStore::DefaultName);
    wroteEntry();
    m_main.desktop().message(this, tr("Entry #%1 Added.").arg(m_entry));
}
