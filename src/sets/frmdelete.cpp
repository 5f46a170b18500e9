#include "sets/frmdelete.h"

#include "main/frmsnapvale.h"
#include "main/icons.h"

#include <QFile>
#include <QGridLayout>
#include <QIcon>
#include <QLabel>
#include <QPushButton>

#include <cstdio>

FrmDelete::FrmDelete(FrmSnapvale &main, const QString &caption, const QString &target)
    : QDialog(&main)
    , m_reg(main.registry().store()) {
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
    m_lblKill = new QLabel(target, this);
    m_lblKill->setObjectName(QStringLiteral("LblKill"));
    m_lblKill->hide();
    connect(cancel, &QPushButton::clicked, this, &FrmDelete::CmdCancel_Click);
    connect(remove, &QPushButton::clicked, this, &FrmDelete::CmdDelete_Click);

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

void FrmDelete::CmdDelete_Click() {
    const QString target = m_lblKill->text();
    m_reg.Appname = AppName;
    m_reg.Section = target;
    m_reg.RegDel();
    if (QFile::exists(target) && !QFile::remove(target))
        std::fprintf(stderr, "snapvale: cannot delete %s\n", qUtf8Printable(target));
    accept();
}
