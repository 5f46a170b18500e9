#include "main/entrytext.h"

#include "core/entrystore.h"

#include <QAccessibleWidget>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionFrame>

#include <algorithm>

namespace {

// What a screen reader is told of an entry field: read-only text named "Entry N", described by
// the entry's name, whose text interface reads ranges of the entry text where it is kept.
class EntryTextAccessible : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    explicit EntryTextAccessible(EntryText *field)
        : QAccessibleWidget(field, QAccessible::EditableText) {}

    EntryText *field() const { return static_cast<EntryText *>(widget()); }

    QString text(QAccessible::Text t) const override {
        switch (t) {
        case QAccessible::Name:
            return field()->isSecret() ? EntryText::tr("Entry %1, secret, %2")
                                             .arg(field()->entry())
                                             .arg(field()->entryName())
                                       : EntryText::tr("Entry %1").arg(field()->entry());
        case QAccessible::Description:
            return field()->entryName();
        case QAccessible::Value:
            // The start, as the field shows it; the whole text is read through the interface.
            return field()->displayText();
        default:
            return QAccessibleWidget::text(t);
        }
    }

    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        s.readOnly = true;
        s.editable = false;
        s.focusable = true;
        return s;
    }

    void *interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::TextInterface)
            return static_cast<QAccessibleTextInterface *>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    // Read-only text: no selection, a caret a reader may move.
    void selection(int, int *start, int *end) const override { *start = *end = 0; }
    int selectionCount() const override { return 0; }
    void addSelection(int, int) override {}
    void removeSelection(int) override {}
    void setSelection(int, int, int) override {}
    int cursorPosition() const override { return m_cursor; }
    void setCursorPosition(int position) override { m_cursor = position; }
    QString text(int start, int end) const override {
        const QString whole = field()->text();
        start = std::clamp<int>(start, 0, int(whole.size()));
        end = end < 0 ? int(whole.size()) : std::clamp<int>(end, start, int(whole.size()));
        return whole.mid(start, end - start);
    }
    int characterCount() const override { return int(field()->text().size()); }
    QRect characterRect(int) const override { return {}; }
    int offsetAtPoint(const QPoint &) const override { return -1; }
    void scrollToSubstring(int, int) override {}
    QString attributes(int, int *start, int *end) const override {
        *start = 0;
        *end = characterCount();
        return {};
    }

private:
    int m_cursor = 0;
};

QAccessibleInterface *accessibleEntryText(const QString &className, QObject *object) {
    if (className == QLatin1String("EntryText") && object && object->isWidgetType())
        return new EntryTextAccessible(static_cast<EntryText *>(object));
    return nullptr;
}
} // namespace

EntryText::EntryText(const EntryStore &store, int n, QWidget *parent)
    : QFrame(parent)
    , m_store(store)
    , m_n(n) {
    static const bool factoryInstalled = [] {
        QAccessible::installFactory(accessibleEntryText);
        return true;
    }();
    Q_UNUSED(factoryInstalled);
    setObjectName(QStringLiteral("Text") + QString::number(n));
    setAccessibleName(tr("Entry %1").arg(n));
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::PointingHandCursor);
    setMouseTracking(true);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    // The field sits on the button-face colour, as a read-only box does.
    setBackgroundRole(QPalette::Button);
    refresh();
}

QString EntryText::text() const {
    return m_store.text(m_n);
}

const QString &EntryText::entryName() const {
    return m_store.name(m_n);
}

bool EntryText::isSecret() const {
    return m_store.isSecret(m_n);
}

QString EntryText::displayText() const {
    QString shown = m_store.shownStart(m_n);
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
    if (QAccessible::isActive()) {
        QAccessibleEvent changed(this, QAccessible::TextUpdated);
        QAccessible::updateAccessibility(&changed);
    }
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
