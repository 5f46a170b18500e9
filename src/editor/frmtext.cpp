#include "editor/frmtext.h"

#include "core/text.h"
#include "main/frmsnapvale.h"
#include "main/icons.h"
#include "platform/desktop.h"
#include "platform/twips.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QResizeEvent>
#include <QScreen>
#include <QTextBlock>
#include <QToolButton>

#include <cmath>

namespace {

const QString copyFailed = QStringLiteral("Error copying to clipboard. Please retry.");
const QString readFailed = QStringLiteral("Error accessing clipboard. Please retry.");

// Fixed sizes and the smallest size, in twips.
constexpr int defaultWidth = 4455, defaultHeight = 4200;
constexpr int enlargedWidth = 8000, enlargedHeight = 5600;
constexpr int snapWidth = 4250, snapHeight = 2000;
// The client area at load, and the toolbar's and status strip's heights.
constexpr int clientWidth = 4335, clientHeight = 3555;
constexpr int toolbarHeight = 480, statusHeight = 200;
// Lines longer than this wrap anywhere rather than at word boundaries.
constexpr qsizetype longLine = 4096;
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

FrmText::FrmText(FrmSnapvale &main)
    : QMainWindow(&main, Qt::Tool)
    , m_main(main)
    , m_commonDialog1(main.desktop(), this) {
    setObjectName(QStringLiteral("FrmText"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowModality(Qt::ApplicationModal);
    setWindowTitle(QStringLiteral("Snapvale"));
    main.applyStackOrder(this);

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

    auto *status = new QWidget(m_client);
    status->setObjectName(QStringLiteral("PicStatus1"));

    m_lblUpdateNumber = new QLabel(this);
    m_lblUpdateNumber->setObjectName(QStringLiteral("LblUpdateNumber"));
    m_lblUpdateNumber->hide();
    m_lblAddNumber = new QLabel(this);
    m_lblAddNumber->setObjectName(QStringLiteral("LblAddNumber"));
    m_lblAddNumber->hide();

    // The client area of the design at load.
    resize(Twips::toPixels(clientWidth, clientHeight, this) +
           QSize(0, menuBar()->sizeHint().height()));
}

QAction *FrmText::action(const QString &name) const {
    return findChild<QAction *>(name);
}

QToolButton *FrmText::pictureButton(const char *name, const char *icon, const QString &tip,
                                    int left, int width) {
    auto *button = new QToolButton(m_client);
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
    place(button, left, 50, width, 360);
    return button;
}

void FrmText::place(QWidget *w, int left, int top, int width, int height) {
    w->setGeometry(Twips::toPixelsX(left, this), Twips::toPixelsY(top, this),
                   Twips::toPixelsX(width, this), Twips::toPixelsY(height, this));
}

void FrmText::buildToolbar() {
    connect(pictureButton("PicOpen", "open", QStringLiteral("Open File"), 80, 405),
            &QToolButton::clicked, this, &FrmText::OpenMnu_Click);
    connect(pictureButton("PicSave", "save", QStringLiteral("Save File"), 480, 405),
            &QToolButton::clicked, this, &FrmText::SaveMnu_Click);
    connect(pictureButton("PicExit", "exit", QStringLiteral("Close Text Editor"), 890, 405),
            &QToolButton::clicked, this, &QWidget::close);
    connect(pictureButton("PicClip", "copy", QStringLiteral("Copy Entry to Clipboard"), 1290, 405),
            &QToolButton::clicked, this, &FrmText::PicClip_Click);
    connect(pictureButton("PicClipExit", "clipexit",
                          QStringLiteral("Copy Entry to Clipboard / Close Text Editor"), 1700, 585),
            &QToolButton::clicked, this, &FrmText::PicClipExit_Click);
    QToolButton *update =
        pictureButton("PicUpdate1", "update", QStringLiteral("Update Existing Entry"), 2495, 885);
    QToolButton *add = pictureButton("PicAdd1", "add",
                                     QStringLiteral("Add New or Replace Entire Entry"), 3380, 885);
    update->setText(QStringLiteral("Update"));
    add->setText(QStringLiteral("Add"));
    for (QToolButton *b : {update, add})
        b->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    connect(update, &QToolButton::clicked, this, &FrmText::PicUpdate1_Click);
    connect(add, &QToolButton::clicked, this, &FrmText::PicAdd1_Click);

    auto *status = new QLabel(m_client);
    status->setObjectName(QStringLiteral("PicStatus2"));
    status->setPixmap(
        Icons::get("snapvale").pixmap(Twips::toPixelsX(260, this), Twips::toPixelsY(260, this)));
    place(status, 4145, 0, 260, 260);

    // The toolbar's frame: light along the top and left, grey along the bottom and right.
    const struct {
        const char *name;
        const char *colour;
        int left, top, width, height;
    } lines[] = {{"Line1", "#E0E0E0", 20, 0, 4290, 15},
                 {"Line2", "#808080", 20, 435, 4290, 15},
                 {"Line3", "#E0E0E0", 20, 0, 15, 450},
                 {"Line4", "#808080", 4300, 0, 15, 450}};
    for (const auto &l : lines) {
        auto *line = new QFrame(m_client);
        line->setObjectName(QLatin1String(l.name));
        line->setAutoFillBackground(true);
        QPalette pal = line->palette();
        pal.setColor(QPalette::Window, QColor(QLatin1String(l.colour)));
        line->setPalette(pal);
        place(line, l.left, l.top, l.width, l.height);
    }

    // Alt+U and Alt+A, from buttons that lie under the text.
    for (const auto &[name, caption, handler] :
         {std::tuple{"CmdU", "&U", &FrmText::PicUpdate1_Click},
          std::tuple{"CmdA", "&A", &FrmText::PicAdd1_Click}}) {
        auto *b = new QPushButton(QLatin1String(caption), m_client);
        b->setObjectName(QLatin1String(name));
        b->setFocusPolicy(Qt::NoFocus);
        place(b, 120, 720, 200, 200);
        connect(b, &QPushButton::clicked, this, handler);
    }
}

void FrmText::buildMenus() {
    const auto menu = [this](const char *name, const QString &caption) {
        QMenu *m = menuBar()->addMenu(caption);
        m->setObjectName(QLatin1String(name));
        m->menuAction()->setObjectName(QLatin1String(name));
        return m;
    };
    const auto item = [this](QMenu *m, const char *name, const QString &caption,
                             const char *shortcut, void (FrmText::*handler)()) {
        QAction *a = m->addAction(caption);
        a->setObjectName(QLatin1String(name));
        if (shortcut)
            a->setShortcut(QKeySequence(QLatin1String(shortcut)));
        connect(a, &QAction::triggered, this, handler);
        return a;
    };

    QMenu *file = menu("FileMnu", QStringLiteral("&File"));
    item(file, "OpenMnu", QStringLiteral("&Open"), "Ctrl+O", &FrmText::OpenMnu_Click);
    item(file, "SaveMnu", QStringLiteral("&Save"), "Ctrl+S", &FrmText::SaveMnu_Click);
    item(file, "SaveAsMnu", QStringLiteral("Save &As..."), nullptr, &FrmText::SaveAsMnu_Click);
    file->addSeparator();
    QAction *close = file->addAction(QStringLiteral("&Close"));
    close->setObjectName(QStringLiteral("CloseMnu"));
    connect(close, &QAction::triggered, this, &QWidget::close);

    QMenu *edit = menu("EditMnu", QStringLiteral("&Edit"));
    item(edit, "CutMnu", QStringLiteral("Cu&t"), "Ctrl+X", &FrmText::CutMnu_Click);
    item(edit, "CopyMnu", QStringLiteral("&Copy"), "Ctrl+C", &FrmText::CopyMnu_Click);
    item(edit, "PasteMnu", QStringLiteral("&Paste"), "Ctrl+V", &FrmText::PasteMnu_Click);
    item(edit, "DeleteMnu", QStringLiteral("&Delete"), "Del", &FrmText::DeleteMnu_Click);
    edit->addSeparator();
    item(edit, "SelectMnu", QStringLiteral("&Select All"), "Ctrl+A", &FrmText::SelectMnu_Click);
    connect(edit, &QMenu::aboutToShow, this, &FrmText::EditMnu_Click);

    QMenu *window = menu("WindowMnu", QStringLiteral("&Window"));
    item(window, "EnlargeMnu", QStringLiteral("&Enlarge"), "Ctrl+E", &FrmText::EnlargeMnu_Click);
    item(window, "DefaultMnu", QStringLiteral("&Default"), "Ctrl+D", &FrmText::DefaultMnu_Click)
        ->setEnabled(false);
    connect(window, &QMenu::aboutToShow, this, &FrmText::WindowMnu_Click);
}

QString FrmText::text() const {
    // Unedited, the text is exactly what was given; the widget itself keeps one line-break kind.
    if (!m_text->document()->isModified())
        return m_original;
    QString raw = m_text->document()->toRawText();
    raw.replace(QChar::ParagraphSeparator, m_crlf ? QStringLiteral("\r\n") : QStringLiteral("\n"));
    return raw;
}

void FrmText::setText(const QString &text) {
    m_original = text;
    m_crlf = text.contains(QLatin1String("\r\n")) || !text.contains(QLatin1Char('\n'));
    // Wrapping at word boundaries costs time that grows with the square of a line's length: a
    // text with a line of megabytes would freeze the window. Such a text wraps anywhere.
    qsizetype longest = 0;
    qsizetype start = 0;
    const QChar *data = text.constData();
    for (qsizetype i = 0; i <= text.size(); ++i) {
        if (i == text.size() || data[i] == QLatin1Char('\n') || data[i] == QLatin1Char('\r')) {
            longest = std::max(longest, i - start);
            start = i + 1;
        }
    }
    m_text->setWordWrapMode(longest > longLine ? QTextOption::WrapAnywhere
                                               : QTextOption::WrapAtWordBoundaryOrAnywhere);
    m_text->setPlainText(text);
    m_text->document()->setModified(false);
}

QString FrmText::selectedText() const {
    QString selected = m_text->textCursor().selectedText();
    selected.replace(QChar::ParagraphSeparator,
                     m_crlf ? QStringLiteral("\r\n") : QStringLiteral("\n"));
    return selected;
}

void FrmText::resizeEvent(QResizeEvent *event) {
    QMainWindow::resizeEvent(event);
    // Dragged narrower or lower than the toolbar needs, the window snaps back.
    const QSize outer = outerSizeTwips();
    if (outer.width() < snapWidth || outer.height() < snapHeight) {
        setOuterSizeTwips(std::max(outer.width(), snapWidth), std::max(outer.height(), snapHeight));
        return;
    }
    layoutControls();
}

void FrmText::layoutControls() {
    // Right-hand controls keep their distance from the right edge; the text takes the rest.
    const int w = qRound(m_client->width() * 1440.0 / logicalDpiX()) + frameAllowance;
    const int h = qRound(m_client->height() * 1440.0 / logicalDpiY());
    const auto move = [this](const char *name, int left) {
        if (auto *c = m_client->findChild<QWidget *>(QLatin1String(name)))
            c->move(Twips::toPixelsX(left, this), c->y());
    };
    move("PicAdd1", w - 1080);
    move("PicUpdate1", w - 1970);
    move("PicStatus2", w - 320);
    move("Line4", w - 150);
    for (const char *name : {"Line1", "Line2"}) {
        if (auto *line = m_client->findChild<QWidget *>(QLatin1String(name)))
            line->resize(Twips::toPixelsX(w - 150 - 20, this), line->height());
    }
    place(m_text, 0, toolbarHeight, w - 125 + 5, h - toolbarHeight - statusHeight);
    if (auto *status = m_client->findChild<QWidget *>(QStringLiteral("PicStatus1")))
        place(status, 0, h - statusHeight, w - frameAllowance, statusHeight);
}

QSize FrmText::outerSizeTwips() const {
    const QSize px = frameGeometry().size();
    // A size set in twips reads back as set while the window keeps the pixels it was given.
    if (px == m_setPixels)
        return m_setTwips;
    return {qRound(px.width() * 1440.0 / logicalDpiX()),
            qRound(px.height() * 1440.0 / logicalDpiY())};
}

void FrmText::setOuterSizeTwips(int width, int height) {
    const QSize frame = frameGeometry().size() - size();
    resize(Twips::toPixels(width, height, this) - frame);
    m_setPixels = frameGeometry().size();
    m_setTwips = QSize(width, height);
}

QPoint FrmText::centredTwips(const QRect &workArea, const QSize &size, double twipsPerPixelX,
                             double twipsPerPixelY) {
    // Rounded to the nearest whole twip, halves to even, as the arithmetic was designed.
    const auto round = [](double v) { return int(std::nearbyint(v)); };
    const int workHeight = round(workArea.height() * twipsPerPixelY);
    const int workWidth = round(workArea.width() * twipsPerPixelX);
    const int workLeft = round(workArea.left() * twipsPerPixelX);
    const int workTop = round(workArea.top() * twipsPerPixelY);
    return {(workWidth - size.width()) / 2 + workLeft, (workHeight - size.height()) / 2 + workTop};
}

void FrmText::centre() {
    const QScreen *s = screen();
    const double tppX = 1440.0 / logicalDpiX();
    const double tppY = 1440.0 / logicalDpiY();
    const QPoint at = centredTwips(s->availableGeometry(), outerSizeTwips(), tppX, tppY);
    move(qRound(at.x() / tppX), qRound(at.y() / tppY));
}

void FrmText::WindowMnu_Click() {
    const QSize size = outerSizeTwips();
    action(QStringLiteral("DefaultMnu"))
        ->setEnabled(size.width() != defaultWidth || size.height() != defaultHeight);
    action(QStringLiteral("EnlargeMnu"))
        ->setEnabled(size.width() < enlargedWidth || size.height() < enlargedHeight);
}

void FrmText::EnlargeMnu_Click() {
    setOuterSizeTwips(enlargedWidth, enlargedHeight);
    centre();
    action(QStringLiteral("EnlargeMnu"))->setEnabled(false);
    action(QStringLiteral("DefaultMnu"))->setEnabled(true);
}

void FrmText::DefaultMnu_Click() {
    setOuterSizeTwips(defaultWidth, defaultHeight);
    centre();
    action(QStringLiteral("EnlargeMnu"))->setEnabled(true);
}

bool FrmText::writeTo(const QString &path) {
    return Text::writeFileAtomically(path, text() + QStringLiteral("\r\n"));
}

void FrmText::OpenMnu_Click() {
    m_commonDialog1.prepare(
        QStringLiteral("Text Files (*.txt)|*.txt|Entry Sets (*.ent)|*.ent|All Files (*.*)|*.*"),
        FileDialog::HideReadOnly, QString());
    const QString current = m_commonDialog1.FileName;
    const QString currentTitle = m_commonDialog1.FileTitle;
    if (!m_commonDialog1.ShowOpen())
        return;
    QString read;
    if (!Text::readFile(m_commonDialog1.FileName, read)) {
        // Nothing was opened: the editor keeps its file, its text and its caption.
        m_commonDialog1.FileName = current;
        m_commonDialog1.FileTitle = currentTitle;
        m_text->setFocus();
        return;
    }
    setWindowTitle(m_commonDialog1.FileTitle);
    setText(read);
    m_text->setFocus();
}

void FrmText::SaveAsMnu_Click() {
    m_commonDialog1.prepare(QStringLiteral("Text Files (*.txt)|*.txt|All Files (*.*)|*.*"),
                            FileDialog::OverwritePrompt | FileDialog::HideReadOnly, QString());
    if (!m_commonDialog1.ShowSave())
        return;
    if (writeTo(m_commonDialog1.FileName))
        setWindowTitle(m_commonDialog1.FileTitle);
    m_text->setFocus();
}

void FrmText::SaveMnu_Click() {
    if (m_commonDialog1.FileName.isEmpty())
        SaveAsMnu_Click();
    else
        writeTo(m_commonDialog1.FileName);
}

bool FrmText::copyWholeText() {
    Desktop &desktop = m_main.desktop();
    if (desktop.clearClipboard() && desktop.setClipboardText(Text::trimSpaces(text())))
        return true;
    desktop.message(this, copyFailed);
    return false;
}

void FrmText::PicClip_Click() {
    copyWholeText();
    m_text->setFocus();
}

void FrmText::PicClipExit_Click() {
    if (copyWholeText())
        close();
}

void FrmText::EditMnu_Click() {
    const QTextCursor cursor = m_text->textCursor();
    const bool selection = cursor.hasSelection();
    for (const char *name : {"CutMnu", "CopyMnu", "DeleteMnu"})
        action(QLatin1String(name))->setEnabled(selection);
    const int length = m_text->document()->characterCount() - 1;
    QString clipboard;
    action(QStringLiteral("PasteMnu"))
        ->setEnabled(m_main.desktop().clipboardText(clipboard) && !clipboard.isEmpty());
    const bool allSelected = cursor.selectionStart() == 0 && cursor.selectionEnd() == length;
    action(QStringLiteral("SelectMnu"))->setEnabled(length > 0 && !allSelected);
}

bool FrmText::selectionToClipboard() {
    Desktop &desktop = m_main.desktop();
    if (desktop.clearClipboard() && desktop.setClipboardText(selectedText()))
        return true;
    desktop.message(this, copyFailed);
    return false;
}

void FrmText::CutMnu_Click() {
    // Only text that reached the clipboard leaves the editor.
    if (selectionToClipboard())
        m_text->textCursor().removeSelectedText();
}

void FrmText::CopyMnu_Click() {
    selectionToClipboard();
}

void FrmText::PasteMnu_Click() {
    QString clipboard;
    if (!m_main.desktop().clipboardText(clipboard)) {
        m_main.desktop().message(this, readFailed);
        return;
    }
    m_text->textCursor().insertText(clipboard);
}

void FrmText::DeleteMnu_Click() {
    m_text->textCursor().removeSelectedText();
}

void FrmText::SelectMnu_Click() {
    m_text->setFocus();
    m_text->selectAll();
}

int FrmText::entryNumber(const QLabel *label) const {
    for (int n = 1; n <= EntryStore::Count; ++n) {
        if (label->text() == QString::number(n))
            return n;
    }
    return 0;
}

void FrmText::PicUpdate1_Click() {
    const int n = entryNumber(m_lblUpdateNumber);
    if (!n)
        return;
    m_main.entries().setText(n, text());
    // Entry 1's message has no full stop, and never had.
    m_main.desktop().message(this, n == 1 ? QStringLiteral("Entry #1 Updated")
                                          : QStringLiteral("Entry #%1 Updated.").arg(n));
}

void FrmText::PicAdd1_Click() {
    const int n = entryNumber(m_lblAddNumber);
    if (!n)
        return;
    m_main.entries().setEntry(n, text(), EntryStore::DefaultName);
    m_main.desktop().message(this, QStringLiteral("Entry #%1 Added.").arg(n));
}
