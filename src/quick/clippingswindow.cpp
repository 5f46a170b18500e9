#include "quick/clippingswindow.h"

#include "core/storedsettings.h"
#include "main/mainwindow.h"
#include "platform/twips.h"

#include <QAction>
#include <QCloseEvent>
#include <QLineEdit>
#include <QVBoxLayout>

ClippingsWindow::ClippingsWindow(MainWindow &main)
    : QWidget(&main, Qt::Window)
    , m_main(main) {
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
    for (int k = 1; k <= ClippingCount; ++k) {
        auto *field = new QLineEdit(picture);
        field->setObjectName(QStringLiteral("Text") + QString::number(k));
        field->setAccessibleName(QStringLiteral("Clipping ") + QString::number(k));
        field->setMinimumWidth(Twips::toPixelsX(3640, this));
        field->setBackgroundRole(QPalette::Button);
        QPalette pal = field->palette();
        pal.setBrush(QPalette::Base, pal.brush(QPalette::Button));
        field->setPalette(pal);
        field->setText(main.clipping(k));
        column->addWidget(field);
        m_fields[k] = field;
    }
    outer->setSizeConstraint(QLayout::SetFixedSize);
}

void ClippingsWindow::closeEvent(QCloseEvent *event) {
    QStringList clippings;
    for (int k = 1; k <= ClippingCount; ++k) {
        m_main.setClipping(k, m_fields[k]->text());
        clippings << m_fields[k]->text();
    }
    // Every one, empty or unchanged ones too: the stored list is always the whole list.
    if (!saveClippings(m_main.store(), clippings))
        m_main.showStoreFailure();
    event->accept();
}
