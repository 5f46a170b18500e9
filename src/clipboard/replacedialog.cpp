#include "clipboard/replacedialog.h"

#include "main/icons.h"
#include "main/mainwindow.h"

#include <QGridLayout>
#include <QIcon>
#include <QLabel>
#include <QPushButton>

ReplaceDialog::ReplaceDialog(MainWindow &main, int n, bool standalone)
    : QDialog(standalone ? nullptr : &main)
    , m_n(n) {
    setObjectName(QStringLiteral("FrmWarn1"));
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(true);
    setWindowTitle(tr("Snapvale - Entry %1").arg(n));
    main.applyStackOrder(this);

    auto *picture = new QLabel(this);
    picture->setObjectName(QStringLiteral("Picture1"));
    picture->setPixmap(Icons::get("snapvale").pixmap(32, 32));
    auto *question = new QLabel(tr("Replace Existing Text?"), this);
    question->setObjectName(QStringLiteral("Label1"));
    m_question = question;
    auto *cancel = new QPushButton(tr("&Cancel"), this);
    cancel->setObjectName(QStringLiteral("CmdAbort"));
    m_cancel = cancel;
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto *grid = new QGridLayout(this);
    grid->addWidget(picture, 0, 0);
    grid->addWidget(question, 0, 1, 1, 2);
    grid->addWidget(cancel, 1, 1);
    for (int k = 1; k <= EntryStore::Count; ++k) {
        auto *yes = new QPushButton(tr("&Replace"), this);
        yes->setObjectName(k == 1 ? QStringLiteral("CmdYes") : QStringLiteral("CmdYes%1").arg(k));
        yes->setVisible(k == n);
        connect(yes, &QPushButton::clicked, this, [this, k] { emit replaceChosen(k); });
        grid->addWidget(yes, 1, 2);
        m_cmdYes[EntryStore::index(k)] = yes;
    }
    grid->setSizeConstraint(QLayout::SetFixedSize);
    // Replacing loses text: the safe answer is the one Enter gives.
    cancel->setDefault(true);
    cancel->setFocus();
}

void ReplaceDialog::askAgain() {
    m_question->setText(tr("Entry %1 changed while this question was open.\r\nReplace the text "
                           "it holds now?")
                            .arg(m_n));
    m_cancel->setFocus();
}
