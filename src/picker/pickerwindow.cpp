#include "picker/pickerwindow.h"

#include "core/entrysession.h"
#include "core/text.h"
#include "main/copyage.h"

#include <QAbstractListModel>
#include <QApplication>
#include <QDateTime>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPainter>
#include <QScreen>
#include <QStyledItemDelegate>
#include <QVBoxLayout>

namespace {

constexpr int pickRole = Qt::UserRole;
// A row's columns: its key, its number ("" for a clipping), its name ("" for none) and its text.
constexpr int columnsRole = Qt::UserRole + 1;
// A name takes at most this many average characters; the text the rest.
constexpr int nameCharacters = 24;
// What a row shows of a text, in characters, on one line.
constexpr qsizetype shownCharacters = 50;
// Rows shown before the list scrolls.
constexpr int visibleRows = 20;

bool isNativeWayland() {
    return QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

// The start of a text on one line without the spaces around it, with an ellipsis where it goes
// on.
QString shownText(const QString &start) {
    const QString line = Text::oneLine(start, shownCharacters);
    const QString shown = line.trimmed();
    return line.size() < start.size() ? shown + QChar(0x2026) : shown;
}

// Draws a row in columns that line up in any font: the key, the number right-aligned, then the
// name, cut short on its own, and the text.
class RowDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override {
        const QStringList columns = index.data(columnsRole).toStringList();
        if (columns.size() != 4) {
            QStyledItemDelegate::paint(painter, option, index);
            return;
        }
        QStyleOptionViewItem opt(option);
        initStyleOption(&opt, index);
        opt.text.clear();
        const QWidget *widget = opt.widget;
        QStyle *style = widget ? widget->style() : QApplication::style();
        style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, widget);
        QRect r = style->subElementRect(QStyle::SE_ItemViewItemText, &opt, widget);
        const QFontMetrics metrics(opt.font);
        const int gap = metrics.averageCharWidth();
        const QPalette::ColorGroup group = !(opt.state & QStyle::State_Enabled) ? QPalette::Disabled
                                           : (opt.state & QStyle::State_Active)
                                               ? QPalette::Normal
                                               : QPalette::Inactive;
        painter->save();
        painter->setFont(opt.font);
        painter->setPen(opt.palette.color(group, (opt.state & QStyle::State_Selected)
                                                     ? QPalette::HighlightedText
                                                     : QPalette::Text));
        // Each cell a little wider than its widest text: elided only what does not fit.
        const auto draw = [&](const QString &text, int width, Qt::Alignment align) {
            const QRect cell(r.left(), r.top(), std::min(width, r.width()), r.height());
            painter->drawText(cell, int(align | Qt::AlignVCenter),
                              metrics.elidedText(text, Qt::ElideRight, cell.width()));
            r.setLeft(r.left() + width);
        };
        const auto widthOf = [&](const QString &text) {
            return metrics.horizontalAdvance(text) + 2;
        };
        draw(columns[0], widthOf(QStringLiteral("MM")) + gap, Qt::AlignLeft);
        draw(columns[1], widthOf(QStringLiteral("00")), Qt::AlignRight);
        r.setLeft(r.left() + 2 * gap);
        if (!columns[2].isEmpty()) {
            const QString name = columns[3].isEmpty() ? columns[2] : columns[2] + QLatin1Char(':');
            draw(name, std::min(widthOf(name), metrics.averageCharWidth() * nameCharacters),
                 Qt::AlignLeft);
            r.setLeft(r.left() + gap);
        }
        draw(columns[3], r.width(), Qt::AlignLeft);
        painter->restore();
    }
};

} // namespace

// The picker's rows: the entries and clippings made when it opens, the history's read from it
// only for the rows drawn, so that ten thousand copies cost what ten do. The filter keeps the
// rows that match; the view sees only those.
class PickerModel : public QAbstractListModel {
public:
    struct Row {
        PickerWindow::Pick pick;
        QString key, number, name, text, spoken;
    };

    explicit PickerModel(const ClipboardHistory &history, QObject *parent)
        : QAbstractListModel(parent)
        , m_history(history) {}

    void setRows(QList<Row> rows, int historyItems, const QString &none) {
        beginResetModel();
        m_rows = std::move(rows);
        m_historyItems = historyItems;
        m_none = none;
        m_now = QDateTime::currentMSecsSinceEpoch();
        m_filter.clear();
        m_shown.clear();
        m_filtered = false;
        endResetModel();
    }
    void setFilter(const QString &filter) {
        beginResetModel();
        m_filter = filter;
        m_filtered = !filter.isEmpty();
        m_shown.clear();
        if (m_filtered) {
            for (int i = 0; i < total(); ++i) {
                if (matches(i))
                    m_shown.append(i);
            }
        }
        endResetModel();
    }
    // Whether any row, shown or not, picks this.
    bool holds(const PickerWindow::Pick &pick) const {
        if (pick.kind == PickerWindow::Pick::History)
            return pick.number >= 1 && pick.number <= m_historyItems;
        return std::any_of(m_rows.cbegin(), m_rows.cend(),
                           [&](const Row &row) { return row.pick == pick; });
    }
    int rowCount(const QModelIndex &parent = {}) const override {
        if (parent.isValid())
            return 0;
        if (m_filtered)
            return int(m_shown.size());
        return total() == 0 && !m_none.isEmpty() ? 1 : total();
    }
    Qt::ItemFlags flags(const QModelIndex &index) const override {
        return indexOf(index) < 0 ? Qt::NoItemFlags : Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    }
    QVariant data(const QModelIndex &index, int role) const override {
        const int i = indexOf(index);
        if (i < 0)
            return role == Qt::DisplayRole && !m_filtered ? QVariant(m_none) : QVariant();
        const Row row = rowAt(i);
        switch (role) {
        case Qt::DisplayRole: {
            QString shown = row.key + QStringLiteral("   ") +
                            (row.number.isEmpty() ? QString() : row.number + QStringLiteral("  ")) +
                            row.name;
            if (!row.name.isEmpty() && !row.text.isEmpty())
                shown += QStringLiteral(": ");
            return shown + row.text;
        }
        case Qt::AccessibleTextRole:
        case Qt::ToolTipRole:
            return row.spoken;
        case pickRole:
            return QVariant::fromValue(row.pick);
        case columnsRole:
            return QStringList{row.key, row.number, row.name, row.text};
        default:
            return {};
        }
    }

private:
    int total() const { return int(m_rows.size()) + m_historyItems; }
    // The row's place among all rows; -1 for the "nothing here" row.
    int indexOf(const QModelIndex &index) const {
        if (!index.isValid())
            return -1;
        if (m_filtered)
            return m_shown.value(index.row(), -1);
        return index.row() < total() ? index.row() : -1;
    }
    bool matches(int i) const {
        if (i < m_rows.size())
            return m_rows.at(i).spoken.contains(m_filter, Qt::CaseInsensitive);
        return m_history.start(i - int(m_rows.size()) + 1).contains(m_filter, Qt::CaseInsensitive);
    }
    Row rowAt(int i) const {
        if (i < m_rows.size())
            return m_rows.at(i);
        const int k = i - int(m_rows.size()) + 1;
        const qint64 age = std::max<qint64>(0, (m_now - m_history.copiedAtMs(k)) / 1000);
        const QChar keyChar = PickerWindow::keyOf({PickerWindow::Pick::History, k});
        const QString text = shownText(m_history.start(k));
        return {{PickerWindow::Pick::History, k},
                keyChar.isNull() ? QString() : QStringLiteral("\u21e5") + keyChar,
                QString(),
                CopyAge::brief(age),
                text,
                PickerWindow::tr("%1: %2").arg(CopyAge::spoken(age), text)};
    }

    const ClipboardHistory &m_history;
    QList<Row> m_rows;
    int m_historyItems = 0;
    QString m_none;
    qint64 m_now = 0;
    QString m_filter;
    bool m_filtered = false;
    QList<int> m_shown;
};

PickerWindow::PickerWindow(EntrySession &session)
    : QWidget(nullptr, isNativeWayland()
                           ? Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint
                           : Qt::Popup)
    , m_session(session) {
    setObjectName(QStringLiteral("FrmPicker"));
    setWindowTitle(tr("Snapvale: pick an entry"));
    setAttribute(Qt::WA_DeleteOnClose);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(2);
    m_filter = new QLineEdit(this);
    m_filter->setObjectName(QStringLiteral("TxtFilter"));
    m_filter->setPlaceholderText(tr("Filter by name or text"));
    m_filter->setAccessibleName(tr("Filter"));
    m_filter->setClearButtonEnabled(true);
    m_filter->hide();
    m_filter->installEventFilter(this);
    m_model = new PickerModel(session.history(), this);
    m_list = new QListView(this);
    m_list->setModel(m_model);
    m_list->setObjectName(QStringLiteral("LstPicker"));
    m_list->setAccessibleName(tr("Entries and clippings"));
    m_list->setUniformItemSizes(true);
    m_list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_list->setItemDelegate(new RowDelegate(m_list));
    m_list->installEventFilter(this);
    m_hint = new QLabel(this);
    m_hint->setObjectName(QStringLiteral("LblKeys"));
    m_hint->setWordWrap(true);
    layout->addWidget(m_filter);
    layout->addWidget(m_list);
    layout->addWidget(m_hint);
    connect(m_list, &QListView::activated, this, &PickerWindow::pickIndex);
    connect(m_list, &QListView::clicked, this, &PickerWindow::pickIndex);
    connect(m_filter, &QLineEdit::textChanged, this, &PickerWindow::applyFilter);
}

QChar PickerWindow::keyOf(const Pick &pick) {
    const int n = pick.number;
    if (pick.kind == Pick::History)
        return n < 10 ? QChar(u'0' + n) : n == 10 ? QChar(u'0') : QChar();
    if (pick.kind == Pick::Entry)
        return n < 10 ? QChar(u'0' + n) : n == 10 ? QChar(u'0') : QChar(u'a' + (n - 11));
    return n <= 6 ? QChar(u'u' + (n - 1)) : QChar(u'A' + (n - 7));
}

bool PickerWindow::pickOfKey(QChar key, Pick *pick) {
    const char16_t c = key.unicode();
    if (c >= u'1' && c <= u'9')
        *pick = {Pick::Entry, c - u'0'};
    else if (c == u'0')
        *pick = {Pick::Entry, 10};
    else if (c >= u'a' && c <= u't')
        *pick = {Pick::Entry, 11 + (c - u'a')};
    else if (c >= u'u' && c <= u'z')
        *pick = {Pick::Clipping, 1 + (c - u'u')};
    else if (c >= u'A' && c <= u'N')
        *pick = {Pick::Clipping, 7 + (c - u'A')};
    else
        return false;
    return true;
}

void PickerWindow::showKeyHint() {
    const bool history = m_session.history().count() > 0;
    m_hint->setText(m_historyKeys ? tr("History: 1-9, 0 pick the newest ten; Tab: the entries "
                                       "again; / filter; Esc close")
                    : history     ? tr("1-9, 0, a-t: entries; u-z, Shift+A-N: clippings; Tab, "
                                           "then 1-9, 0: history; / filter; Esc close")
                                  : tr("1-9, 0, a-t: entries; u-z, Shift+A-N: clippings; / filter; "
                                           "Esc close"));
}

void PickerWindow::fill() {
    const EntryStore &entries = m_session.entries();
    QList<PickerModel::Row> rows;
    // `number` and `name` may be empty; the row's plain text joins what it shows.
    const auto add = [&rows](const Pick &pick, const QString &number, const QString &name,
                             const QString &text, const QString &spoken) {
        rows.append({pick, QString(keyOf(pick)), number, name, text, spoken});
    };
    for (int n = 1; n <= EntryStore::Count; ++n) {
        if (entries.isEmpty(n))
            continue;
        const QString number = QString::number(n);
        // "Untitled" on every row would only hide the texts.
        const QString name =
            entries.name(n) == EntryStore::DefaultName ? QString() : entries.name(n);
        if (entries.isSecret(n)) {
            add({Pick::Entry, n}, number, tr("%1 (secret)").arg(entries.name(n)), QString(),
                tr("Entry %1, secret, %2").arg(n).arg(entries.name(n)));
            continue;
        }
        const QString text = shownText(entries.start(n));
        add({Pick::Entry, n}, number, name, text,
            name.isEmpty() ? tr("Entry %1: %2").arg(n).arg(text)
                           : tr("Entry %1, %2: %3").arg(n).arg(name, text));
    }
    for (int k = 1; k <= ClippingCount; ++k) {
        const QString clipping = m_session.clipping(k);
        if (clipping.isEmpty())
            continue;
        const QString text = shownText(clipping);
        add({Pick::Clipping, k}, QString(), tr("Clipping %1").arg(k), text,
            tr("Clipping %1: %2").arg(k).arg(text));
    }
    // The history after them, newest first, made only as its rows are drawn.
    m_model->setRows(std::move(rows), m_session.history().count(), tr("No entry holds text yet."));
    m_historyKeys = false;
    showKeyHint();
    setCurrentRow(0);
}

void PickerWindow::setCurrentRow(int row) {
    m_list->setCurrentIndex(m_model->index(row));
}

void PickerWindow::open(const QPoint &at) {
    fill();
    const QFontMetrics metrics(font());
    const int rowHeight = std::max(m_list->sizeHintForRow(0), metrics.height());
    const int rows = std::min(m_model->rowCount(), visibleRows);
    // Whole rows only: no half row at the bottom.
    m_list->setFixedSize(metrics.averageCharWidth() * int(shownCharacters + nameCharacters + 8),
                         rowHeight * rows + 2 * m_list->frameWidth());
    adjustSize();
    if (isNativeWayland()) {
        // A fixed size makes tiling compositors float the window, centred.
        setFixedSize(sizeHint());
    } else {
        const QScreen *screen = QGuiApplication::screenAt(at);
        const QRect area = screen ? screen->availableGeometry() : QRect(at, size());
        QPoint place = at;
        place.setX(std::max(area.left(), std::min(place.x(), area.right() - width())));
        place.setY(std::max(area.top(), std::min(place.y(), area.bottom() - height())));
        move(place);
    }
    show();
    // On X11 the popup takes the keyboard by a grab and leaves the focus where it is, so that it
    // returns to the window a pick is pasted into; on Wayland the compositor moves the focus.
    if (isNativeWayland()) {
        raise();
        activateWindow();
    }
    m_list->setFocus();
}

void PickerWindow::applyFilter(const QString &filter) {
    m_model->setFilter(filter);
    setCurrentRow(0);
}

void PickerWindow::pickIndex(const QModelIndex &index) {
    const QVariant data = index.data(pickRole);
    if (data.isValid())
        pick(data.value<Pick>());
}

void PickerWindow::pick(const Pick &chosen) {
    if (m_picked)
        return;
    m_picked = true;
    // Copied while the picker still has the keyboard (a focused window's copy is the one every
    // Wayland compositor takes), pasted once it has closed and the keyboard is back where it
    // came from.
    emit picked(chosen);
    close();
    emit closedAfterPick(chosen);
}

QChar PickerWindow::keyOfEvent(const QKeyEvent *key) {
    // Letters and digits by the key itself: Caps Lock changes the typed text, not the pick.
    // Shift still chooses the clippings.
    const int k = key->key();
    if (k >= Qt::Key_A && k <= Qt::Key_Z) {
        const QChar letter(char16_t(u'a' + (k - Qt::Key_A)));
        return (key->modifiers() & Qt::ShiftModifier) ? letter.toUpper() : letter;
    }
    if (k >= Qt::Key_0 && k <= Qt::Key_9)
        return QChar(char16_t(u'0' + (k - Qt::Key_0)));
    const QString typed = key->text();
    return typed.size() == 1 ? typed.at(0) : QChar();
}

bool PickerWindow::eventFilter(QObject *watched, QEvent *event) {
    if (event->type() != QEvent::KeyPress)
        return QWidget::eventFilter(watched, event);
    auto *key = static_cast<QKeyEvent *>(event);
    if (watched == m_filter) {
        switch (key->key()) {
        case Qt::Key_Up:
        case Qt::Key_Down:
        case Qt::Key_PageUp:
        case Qt::Key_PageDown:
            QCoreApplication::sendEvent(m_list, event);
            return true;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            pickIndex(m_list->currentIndex());
            return true;
        case Qt::Key_Escape:
            // Esc leaves the filter first, then the picker.
            if (!m_filter->text().isEmpty()) {
                m_filter->clear();
                return true;
            }
            m_filter->hide();
            m_list->setFocus();
            return true;
        default:
            return false;
        }
    }
    if (watched == m_list) {
        const QString typed = key->text();
        if (key->key() == Qt::Key_Slash || typed == QLatin1String("/")) {
            m_filter->show();
            m_filter->setFocus();
            return true;
        }
        // Tab: digits pick the history's newest ten, until Tab again.
        if (key->key() == Qt::Key_Tab && key->modifiers() == Qt::NoModifier &&
            m_session.history().count() > 0) {
            m_historyKeys = !m_historyKeys;
            showKeyHint();
            for (int row = 0; m_historyKeys && row < m_model->rowCount(); ++row) {
                const QVariant data = m_model->index(row).data(pickRole);
                if (data.isValid() && data.value<Pick>().kind == Pick::History) {
                    setCurrentRow(row);
                    break;
                }
            }
            return true;
        }
        Pick chosen;
        const QChar pressed = keyOfEvent(key);
        const bool digit = pressed >= QLatin1Char('0') && pressed <= QLatin1Char('9');
        if (m_historyKeys && digit) {
            chosen = {Pick::History, pressed == QLatin1Char('0') ? 10 : pressed.unicode() - u'0'};
        } else if (m_historyKeys && pressed.isPrint()) {
            return true; // only digits pick now; Enter and the arrows still work
        }
        if (!pressed.isNull() && !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) &&
            ((m_historyKeys && digit) || pickOfKey(pressed, &chosen))) {
            // A key of an empty entry picks nothing; the list's own search never runs.
            if (m_model->holds(chosen))
                pick(chosen);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void PickerWindow::keyPressEvent(QKeyEvent *event) {
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}
