#include "quick/namedialog.h"

#include "main/mainwindow.h"
#include "platform/twips.h"

#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

NameDialog::NameDialog(MainWindow &main, int n)
    : QDialog(&main)
    , m_main(main)
    , m_n(n) {
    setObjectName(QStringLiteral("FrmNameEntry"));
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(true);
    setWindowTitle(tr("Snapvale - Entry %1").arg(n));
    main.applyStackOrder(this);

    auto *prompt = new QLabel(tr("Enter a name to identify your entry."), this);
    prompt->setObjectName(QStringLiteral("LblEnterIdentifier"));
    m_name = new QLineEdit(this);
    m_name->setObjectName(n == 1 ? QStringLiteral("TxtEntryName")
                                 : QStringLiteral("TxtEntryName") + QString::number(n));
    m_name->setAccessibleName(prompt->text());
    prompt->setBuddy(m_name);
    auto *cancel = new QPushButton(tr("&Cancel"), this);
    cancel->setObjectName(QStringLiteral("CmdCancel"));
    m_ok = new QPushButton(tr("&OK"), this);
    m_ok->setObjectName(QStringLiteral("CmdOKName") + QString::number(n));
    // Enter in the field names the entry; Tab to Cancel and Space there keeps the name.
    for (QPushButton *b : {cancel, m_ok})
        b->setAutoDefault(false);
    m_ok->setDefault(true);
    connect(m_ok, &QPushButton::clicked, this, &NameDialog::acceptName);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto *grid = new QGridLayout(this);
    grid->addWidget(prompt, 0, 0, 1, 3);
    grid->addWidget(m_name, 1, 0, 1, 3);
    grid->addWidget(cancel, 2, 0);
    grid->setColumnStretch(1, 1);
    grid->addWidget(m_ok, 2, 2);
    setFixedSize(sizeHint().expandedTo(Twips::toPixels(3030, 1110, this)));
    m_name->setFocus();
}

void NameDialog::acceptName() {
    const QString typed = m_name->text();
    m_main.session().entries().setName(m_n, typed.isEmpty() ? EntryStore::DefaultName : typed);
    accept();
}

void NameDialog::keyPressEvent(QKeyEvent *event) {
    // Esc presses nothing either; the close box and Cancel leave the name as it was.
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}
