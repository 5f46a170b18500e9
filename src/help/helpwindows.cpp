#include "help/helpwindows.h"

#include "help/helppages.h"
#include "main/icons.h"
#include "main/mainwindow.h"

#include <QAction>
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QListWidget>
#include <QTextBrowser>
#include <QVBoxLayout>

HelpWindow::HelpWindow(MainWindow &main)
    : QWidget(&main, Qt::Window) {
    setObjectName(QStringLiteral("Frmhelp"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(tr("Snapvale Help"));
    main.applyStackOrder(this);
    auto *escape = new QAction(this);
    escape->setShortcut(QKeySequence(Qt::Key_Escape));
    connect(escape, &QAction::triggered, this, &QWidget::close);
    addAction(escape);

    m_contents = new QListWidget(this);
    m_contents->setObjectName(QStringLiteral("HelpContents"));
    m_contents->setAccessibleName(tr("Help topics"));
    for (int i = 0; i < helpPageCount; ++i)
        m_contents->addItem(QCoreApplication::translate("HelpPages", helpPages[i].title));
    m_contents->setMaximumWidth(m_contents->sizeHintForColumn(0) + 24);
    m_browser = new QTextBrowser(this);
    m_browser->setObjectName(QStringLiteral("HelpPage"));
    m_browser->setOpenLinks(false);

    auto *layout = new QHBoxLayout(this);
    layout->addWidget(m_contents);
    layout->addWidget(m_browser, 1);
    resize(fontMetrics().averageCharWidth() * 100, fontMetrics().height() * 28);

    connect(m_contents, &QListWidget::currentRowChanged, this, &HelpWindow::showPage);
    connect(m_browser, &QTextBrowser::anchorClicked, this, [this](const QUrl &url) {
        for (int i = 0; i < helpPageCount; ++i) {
            if (url.fragment() == QLatin1String(helpPages[i].anchor))
                showPage(i);
        }
    });
    showPage(0);
}

int HelpWindow::pageCount() const {
    return helpPageCount;
}

QString HelpWindow::pageTitle(int page) const {
    return QCoreApplication::translate("HelpPages", helpPages[page].title);
}

int HelpWindow::currentPage() const {
    return m_contents->currentRow();
}

void HelpWindow::showPage(int page) {
    if (page < 0 || page >= helpPageCount)
        return;
    m_browser->setHtml(QCoreApplication::translate("HelpPages", helpPages[page].html));
    if (m_contents->currentRow() != page)
        m_contents->setCurrentRow(page);
}

AboutDialog::AboutDialog(MainWindow &main)
    : QDialog(&main) {
    setObjectName(QStringLiteral("frmAbout"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(tr("About Snapvale"));
    main.applyStackOrder(this);

    auto *picture = new QLabel(this);
    picture->setPixmap(Icons::get("snapvale").pixmap(48, 48));
    auto *text = new QLabel(this);
    text->setObjectName(QStringLiteral("AboutText"));
    text->setTextFormat(Qt::RichText);
    text->setText(tr("<h3>Snapvale %1</h3>"
                     "<p>Thirty clippings of text, one click away.</p>"
                     "<p>Free software under the MIT License.</p>")
                      .arg(QStringLiteral(SNAPVALE_VERSION)));
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto *top = new QHBoxLayout;
    top->addWidget(picture, 0, Qt::AlignTop);
    top->addWidget(text, 1);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

HelpCommands::HelpCommands(MainWindow &main)
    : QObject(&main)
    , m_main(main) {
    connect(main.actions().helpContents, &QAction::triggered, this, &HelpCommands::showHelp);
    connect(main.actions().about, &QAction::triggered, this, &HelpCommands::showAbout);
}

HelpWindow *HelpCommands::showHelp() {
    // A help window that was closed is on its way out: open a new one.
    if (!m_help || !m_help->isVisible())
        m_help = new HelpWindow(m_main);
    m_help->show();
    m_help->raise();
    m_help->activateWindow();
    return m_help;
}

AboutDialog *HelpCommands::showAbout() {
    auto *about = new AboutDialog(m_main);
    about->open();
    return about;
}
