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
    setWindowTitle(tr("Add Frequently Used Clippings"));
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
        field->setAccessibleName(tr("Clipping %1").arg(k));
        field->setMinimumWidth(Twips::toPixelsX(3640, this));
        field->setBackgroundRole(QPalette::Button);
        QPalette pal = field->palette();
        pal.setBrush(QPalette::Base, pal.brush(QPalette::Button));
        field->setPalette(pal);
        field->setText(main.session().clipping(k));
        column->addWidget(field);
        m_fields[k - 1] = field;
    }
    outer->setSizeConstraint(QLayout::SetFixedSize);
}

void ClippingsWindow::closeEvent(QCloseEvent *event) {
    QStringList clippings;
    for (const QLineEdit *field : m_fields)
        clippings << field->text();
    if (!m_main.session().setClippings(clippings))
        m_main.showStoreFailure();
    event->accept();
}
