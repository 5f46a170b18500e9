#include "quick/frmconfigure.h"

#include "core/settingsstore.h"
#include "main/frmsnapvale.h"
#include "main/menucaption.h"
#include "platform/twips.h"

#include <QAction>
#include <QCloseEvent>
#include <QLineEdit>
#include <QVBoxLayout>

FrmConfigure::FrmConfigure(FrmSnapvale &main)
    : QWidget(&main, Qt::Window)
    , m_main(main)
    , m_reg(main.registry().store()) {
    setObjectName(QStringLiteral("FrmConfigure"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Add Frequently Used Clippings"));
    main.applyStackOrder(this);

    auto *outer = new QVBoxLayout(this);
    auto *picture = new QWidget(this);
    picture->setObjectName(QStringLiteral("Picture1"));
    outer->addWidget(picture);
    auto *column = new QVBoxLayout(picture);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(Twips::toPixelsY(300 - 285, this));
    for (int k = 1; k <= 20; ++k) {
        auto *field = new QLineEdit(picture);
        field->setObjectName(QStringLiteral("Text") + QString::number(k));
        field->setAccessibleName(QStringLiteral("Clipping ") + QString::number(k));
        field->setMinimumWidth(Twips::toPixelsX(3640, this));
        field->setBackgroundRole(QPalette::Button);
        QPalette pal = field->palette();
        pal.setBrush(QPalette::Base, pal.brush(QPalette::Button));
        field->setPalette(pal);
        field->setText(literalCaption(main.clippingItem(k)));
        column->addWidget(field);
        m_fields[k] = field;
    }
    outer->setSizeConstraint(QLayout::SetFixedSize);
}

void FrmConfigure::closeEvent(QCloseEvent *event) {
    for (int k = 1; k <= 20; ++k)
        setLiteralCaption(m_main.clippingItem(k), m_fields[k]->text());
    // Every key, empty or unchanged ones too: the stored list is always the whole list.
    SettingsStore::Transaction transaction(m_reg.store());
    m_reg.Appname = AppName;
    m_reg.Section = QStringLiteral("Frequent");
    for (int k = 1; k <= 20; ++k) {
        m_reg.Key = FrmSnapvale::clippingKey(k);
        m_reg.Setting = m_fields[k]->text();
        m_reg.RegSave();
    }
    event->accept();
}
