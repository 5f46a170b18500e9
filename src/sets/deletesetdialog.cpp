#include "sets/deletesetdialog.h"

#include "core/storedsettings.h"
#include "main/icons.h"
#include "main/mainwindow.h"
#include "platform/desktop.h"

#include <QFile>
#include <QGridLayout>
#include <QIcon>
#include <QLabel>
#include <QPushButton>

DeleteSetDialog::DeleteSetDialog(MainWindow &main, const QString &caption, const QString &path)
    : QDialog(&main)
    , m_main(main)
    , m_path(path) {
    setObjectName(QStringLiteral("FrmDelete"));
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(true);
    setWindowTitle(caption);
    main.applyStackOrder(this);

    auto *picture = new QLabel(this);
    picture->setObjectName(QStringLiteral("Picture1"));
    picture->setPixmap(Icons::get("snapvale").pixmap(32, 32));
    auto *question =
        new QLabel(QStringLiteral("Are you sure you'd like to delete this set?"), this);
    question->setObjectName(QStringLiteral("Label1"));
    auto *cancel = new QPushButton(QStringLiteral("&Cancel"), this);
    cancel->setObjectName(QStringLiteral("CmdCancel"));
    auto *remove = new QPushButton(QStringLiteral("&Delete"), this);
    remove->setObjectName(QStringLiteral("CmdDelete"));
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(remove, &QPushButton::clicked, this, &DeleteSetDialog::deleteSet);

    auto *grid = new QGridLayout(this);
    grid->addWidget(picture, 0, 0);
    grid->addWidget(question, 0, 1, 1, 2);
    grid->addWidget(cancel, 1, 1);
    grid->addWidget(remove, 1, 2);
    grid->setSizeConstraint(QLayout::SetFixedSize);
    setTabOrder(cancel, remove);
    // Deleting cannot be undone: Cancel has the focus, and Enter.
    cancel->setDefault(true);
    cancel->setFocus();
}

void DeleteSetDialog::deleteSet() {
    // The entries go first; a file whose entries are still stored is no loss to keep.
    if (!removeEntries(m_main.store(), EntrySection::set(m_path))) {
        m_main.showStoreFailure();
        return;
    }
    QFile file(m_path);
    if (file.exists() && !file.remove())
        showWriteFailure(m_main.desktop(), this, m_path, file.errorString());
    accept();
}
