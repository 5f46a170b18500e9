#include "main/entrytext.h"

#include "core/entrystore.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionFrame>

namespace {
// More characters than any field is wide; the rest of the text is never laid out.
constexpr qsizetype shownCharacters = 300;
} // namespace

EntryText::EntryText(const EntryStore &store, int n, QWidget *parent)
    : QFrame(parent)
    , m_store(store)
    , m_n(n) {
    setObjectName(QStringLiteral("Text") + QString::number(n));
    setAccessibleName(QStringLiteral("Entry ") + QString::number(n));
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::PointingHandCursor);
    setMouseTracking(true);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    // The field sits on the button-face colour, as a read-only box does.
    setBackgroundRole(QPalette::Button);
    refresh();
}

const QString &EntryText::text() const {
    return m_store.text(m_n);
}

QString EntryText::displayText() const {
    QString shown = text().left(shownCharacters);
    for (QChar &c : shown) {
        if (c == QLatin1Char('\r') || c == QLatin1Char('\n') || c == QLatin1Char('\t'))
            c = QLatin1Char(' ');
    }
    return shown;
}

QSize EntryText::sizeHint() const {
    const QFontMetrics fm = fontMetrics();
    QStyleOptionFrame option;
    option.initFrom(this);
    const QSize content(fm.averageCharWidth() * 30, fm.height() + 6);
    return style()->sizeFromContents(QStyle::CT_LineEdit, &option, content, this);
}

void EntryText::refresh() {
    const QString &name = m_store.name(m_n);
    if (toolTip() != name)
        setToolTip(name);
    setAccessibleDescription(name);
    update();
}

void EntryText::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    QStyleOptionFrame option;
    option.initFrom(this);
    option.lineWidth = style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, this);
    option.state |= QStyle::State_ReadOnly;
    option.palette.setBrush(QPalette::Base, palette().brush(QPalette::Button));
    style()->drawPrimitive(QStyle::PE_PanelLineEdit, &option, &painter, this);

    const QRect area =
        style()->subElementRect(QStyle::SE_LineEditContents, &option, this).adjusted(3, 0, -3, 0);
    painter.setPen(palette().color(QPalette::ButtonText));
    const QString shown = fontMetrics().elidedText(displayText(), Qt::ElideRight, area.width());
    painter.drawText(area, Qt::AlignVCenter | Qt::AlignLeft | Qt::TextSingleLine, shown);

    if (hasFocus()) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect = area.adjusted(-2, 1, 2, -1);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &painter, this);
    }
}

void EntryText::mouseReleaseEvent(QMouseEvent *event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
    QFrame::mouseReleaseEvent(event);
}

void EntryText::mouseMoveEvent(QMouseEvent *event) {
    emit mouseMoved();
    QFrame::mouseMoveEvent(event);
}

void EntryText::keyPressEvent(QKeyEvent *event) {
    // The keyboard way to "click the text": Enter or Space.
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        emit clicked();
        return;
    default:
        QFrame::keyPressEvent(event);
    }
}
