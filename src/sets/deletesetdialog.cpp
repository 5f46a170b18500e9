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
    auto *question = new QLabel(tr("Are you sure you'd like to delete this set?"), this);
    question->setObjectName(QStringLiteral("Label1"));
    auto *cancel = new QPushButton(tr("&Cancel"), this);
    cancel->setObjectName(QStringLiteral("CmdCancel"));
    auto *remove = new QPushButton(tr("&Delete"), this);
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
    QString error;
    switch (m_main.session().deleteSet(m_path, &error)) {
    case EntrySession::SetResult::StoreFailed:
        m_main.showStoreFailure();
        return;
    case EntrySession::SetResult::FileFailed:
        showWriteFailure(m_main.desktop(), this, m_path, error);
        break;
    default:
        break;
    }
    accept();
}
