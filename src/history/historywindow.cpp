#include "history/historywindow.h"

#include "core/entrysession.h"
#include "core/text.h"
#include "main/copyage.h"
#include "main/mainwindow.h"
#include "platform/desktop.h"

#include <QComboBox>
#include <QDateTime>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QLocale>
#include <QPushButton>
#include <QShortcut>
#include <QSortFilterProxyModel>
#include <QTimer>
#include <QVBoxLayout>

namespace {
constexpr qsizetype shownCharacters = 200;

QString shownStart(const QString &start) {
    return Text::oneLine(start, shownCharacters).trimmed();
}
} // namespace

HistoryModel::HistoryModel(const ClipboardHistory &history, QObject *parent)
    : QAbstractListModel(parent)
    , m_history(history) {
    // Every change may move every row: the view asks again for the rows it shows.
    connect(&history, &ClipboardHistory::changed, this, [this] {
        beginResetModel();
        endResetModel();
    });
}

int HistoryModel::rowCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : m_history.count();
}

QString HistoryModel::shownTime(qint64 copiedMs, qint64 nowMs) {
    const QDateTime copied = QDateTime::fromMSecsSinceEpoch(copiedMs);
    const QLocale locale;
    if (copied.date() == QDateTime::fromMSecsSinceEpoch(nowMs).date())
        return locale.toString(copied.time(), QLocale::ShortFormat);
    return locale.toString(copied, QLocale::ShortFormat);
}

QVariant HistoryModel::data(const QModelIndex &index, int role) const {
    const int k = index.row() + 1;
    if (!index.isValid() || k > m_history.count())
        return {};
    switch (role) {
    case Qt::DisplayRole: {
        const qint64 now = QDateTime::currentMSecsSinceEpoch();
        return shownTime(m_history.copiedAtMs(k), now) + QStringLiteral("    ") +
               shownStart(m_history.start(k));
    }
    case Qt::AccessibleTextRole:
    case Qt::ToolTipRole: {
        const qint64 age = std::max<qint64>(
            0, (QDateTime::currentMSecsSinceEpoch() - m_history.copiedAtMs(k)) / 1000);
        return tr("%1: %2").arg(CopyAge::spoken(age), shownStart(m_history.start(k)));
    }
    case startRole:
        return m_history.start(k);
    default:
        return {};
    }
}

void HistoryModel::refreshAges() {
    if (const int rows = rowCount())
        emit dataChanged(index(0), index(rows - 1),
                         {Qt::DisplayRole, Qt::AccessibleTextRole, Qt::ToolTipRole});
}

HistoryWindow::HistoryWindow(MainWindow &main)
    : QWidget(&main, Qt::Window)
    , m_main(main)
    , m_history(main.session().history()) {
    setObjectName(QStringLiteral("FrmHistory"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(tr("Clipboard History"));
    main.applyStackOrder(this);

    auto *column = new QVBoxLayout(this);
    auto *filterRow = new QHBoxLayout;
    auto *filterLabel = new QLabel(tr("&Filter:"), this);
    m_filter = new QLineEdit(this);
    m_filter->setObjectName(QStringLiteral("TxtFilter"));
    m_filter->setPlaceholderText(tr("Show only the copies that hold this text"));
    m_filter->setClearButtonEnabled(true);
    m_filter->installEventFilter(this);
    filterLabel->setBuddy(m_filter);
    filterRow->addWidget(filterLabel);
    filterRow->addWidget(m_filter, 1);
    column->addLayout(filterRow);

    m_model = new HistoryModel(m_history, this);
    m_filtered = new QSortFilterProxyModel(this);
    m_filtered->setSourceModel(m_model);
    m_filtered->setFilterRole(HistoryModel::startRole);
    m_filtered->setFilterCaseSensitivity(Qt::CaseInsensitive);
    m_list = new QListView(this);
    m_list->setObjectName(QStringLiteral("LstHistory"));
    m_list->setAccessibleName(tr("Copied texts, newest first"));
    m_list->setModel(m_filtered);
    m_list->setUniformItemSizes(true);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->installEventFilter(this);
    column->addWidget(m_list, 1);

    m_state = new QLabel(this);
    m_state->setObjectName(QStringLiteral("LblState"));
    m_state->setWordWrap(true);
    column->addWidget(m_state);

    auto *buttons = new QHBoxLayout;
    const auto button = [this, buttons](const char *name, const QString &caption) {
        auto *b = new QPushButton(caption, this);
        b->setObjectName(QLatin1String(name));
        b->setAutoDefault(false);
        buttons->addWidget(b);
        return b;
    };
    m_copy = button("CmdCopy", tr("&Copy"));
    m_store = button("CmdStore", tr("&Store in Entry..."));
    m_delete = button("CmdDelete", tr("&Delete"));
    buttons->addStretch(1);
    m_clear = button("CmdClear", tr("C&lear History"));
    QPushButton *close = button("CmdClose", tr("Close"));
    column->addLayout(buttons);

    connect(m_copy, &QPushButton::clicked, this, &HistoryWindow::copySelected);
    connect(m_store, &QPushButton::clicked, this, &HistoryWindow::storeSelected);
    connect(m_delete, &QPushButton::clicked, this, &HistoryWindow::deleteSelected);
    connect(m_clear, &QPushButton::clicked, this, &HistoryWindow::clearHistory);
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    // Enter or a double click copies, as the picker's Enter does.
    connect(m_list, &QListView::activated, this, &HistoryWindow::copySelected);
    connect(m_filter, &QLineEdit::textChanged, this, [this](const QString &text) {
        m_filtered->setFilterFixedString(text);
        m_list->setCurrentIndex(m_filtered->index(0, 0));
        showState();
    });
    connect(m_list->selectionModel(), &QItemSelectionModel::currentChanged, this,
            &HistoryWindow::showState);
    // A copy arriving moves every row: the selection stays on the copy it was on, known by its
    // key (when the rows are made again the history has already changed).
    connect(m_list->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this] { m_selectedKey = m_history.key(selectedItem()); });
    connect(m_filtered, &QAbstractItemModel::modelReset, this, [this] {
        const int k = m_selectedKey.isEmpty() ? 0 : m_history.find(m_selectedKey);
        const QModelIndex kept =
            k ? m_filtered->mapFromSource(m_model->index(k - 1)) : QModelIndex();
        m_list->setCurrentIndex(kept.isValid() ? kept : m_filtered->index(0, 0));
        showState();
    });
    auto *escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, &QWidget::close);
    // "2 minutes ago" stays true while the window is open.
    auto *ages = new QTimer(this);
    connect(ages, &QTimer::timeout, m_model, &HistoryModel::refreshAges);
    ages->start(30000);

    m_list->setCurrentIndex(m_filtered->index(0, 0));
    const QFontMetrics metrics = fontMetrics();
    resize(metrics.averageCharWidth() * 80, metrics.height() * 24);
    showState();
}

int HistoryWindow::selectedItem() const {
    const QModelIndex current = m_list->currentIndex();
    return current.isValid() ? m_filtered->mapToSource(current).row() + 1 : 0;
}

void HistoryWindow::showState() {
    const bool selected = selectedItem() > 0;
    m_copy->setEnabled(selected);
    m_store->setEnabled(selected);
    m_delete->setEnabled(selected);
    m_clear->setEnabled(m_history.count() > 0);
    QString state;
    if (m_history.count() == 0)
        state = m_main.session().keepsHistory()
                    ? tr("Nothing copied yet: what other programs copy appears here.")
                    : tr("The clipboard history is off: Options, Keep Clipboard History turns it "
                         "on.");
    else if (m_filtered->rowCount() == 0)
        state = tr("No copy holds \"%1\".").arg(m_filter->text());
    m_state->setText(state);
    m_state->setVisible(!state.isEmpty());
}

bool HistoryWindow::eventFilter(QObject *watched, QEvent *event) {
    if (event->type() != QEvent::KeyPress)
        return QWidget::eventFilter(watched, event);
    const int key = static_cast<QKeyEvent *>(event)->key();
    // From the filter the arrows and Enter go on to the list.
    if (watched == m_filter &&
        (key == Qt::Key_Down || key == Qt::Key_Up || key == Qt::Key_Return ||
         key == Qt::Key_Enter || key == Qt::Key_PageDown || key == Qt::Key_PageUp)) {
        m_list->setFocus();
        if (key == Qt::Key_Return || key == Qt::Key_Enter)
            copySelected();
        else if (key != Qt::Key_Down || !m_list->currentIndex().isValid())
            QCoreApplication::sendEvent(m_list, event);
        return true;
    }
    if (watched == m_list && key == Qt::Key_Delete) {
        deleteSelected();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void HistoryWindow::copySelected() {
    if (const int k = selectedItem()) {
        const QString start = shownStart(m_history.start(k));
        if (copyHistoryItem(m_main.desktop(), this, m_main.session(), k)) {
            m_state->setText(tr("On the clipboard: %1").arg(start));
            m_state->setVisible(true);
        }
    }
}

void HistoryWindow::storeSelected() {
    const int k = selectedItem();
    if (!k)
        return;
    const QString key = m_history.key(k);
    auto *choose = new StoreInDialog(m_main, this);
    connect(choose, &QDialog::accepted, this, [this, choose, key] {
        // The item may have moved, or gone, while the dialog was open.
        const int now = m_history.find(key);
        bool read = false;
        const QByteArray text = now ? m_history.text(now, &read) : QByteArray();
        if (!read) {
            m_main.desktop().message(this, tr("The copied text is no longer in the history."));
            return;
        }
        m_main.requestStore(choose->entry(), QString::fromUtf8(text));
    });
    choose->open();
}

void HistoryWindow::deleteSelected() {
    const int row = m_list->currentIndex().row();
    if (const int k = selectedItem()) {
        if (!m_history.remove(k))
            m_main.showStoreFailure();
        m_list->setCurrentIndex(m_filtered->index(std::min(row, m_filtered->rowCount() - 1), 0));
    }
}

void HistoryWindow::clearHistory() {
    const int count = m_history.count();
    if (count == 0)
        return;
    if (m_main.desktop().ask(this,
                             tr("Clear the clipboard history? All %1 copied texts in it are "
                                "removed for good.")
                                 .arg(count),
                             {tr("&Clear"), tr("&Cancel")}, 1, 1) != 0)
        return;
    if (!m_history.clear())
        m_main.showStoreFailure();
}

StoreInDialog::StoreInDialog(MainWindow &main, QWidget *parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("FrmStoreIn"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(tr("Store in Entry"));
    auto *column = new QVBoxLayout(this);
    auto *label = new QLabel(tr("Store the copied text in &entry:"), this);
    m_entry = new QComboBox(this);
    m_entry->setObjectName(QStringLiteral("CboEntry"));
    label->setBuddy(m_entry);
    const EntryStore &entries = main.session().entries();
    int firstEmpty = 0;
    for (int n = 1; n <= EntryStore::Count; ++n) {
        const QString name = entries.name(n);
        QString caption;
        if (entries.isEmpty(n)) {
            caption = tr("%1  (empty)").arg(n);
            if (!firstEmpty)
                firstEmpty = n;
        } else if (entries.isSecret(n)) {
            caption = tr("%1  %2 (secret)").arg(n).arg(name);
        } else {
            const QString start = Text::oneLine(entries.start(n), 40).trimmed();
            caption = name == EntryStore::DefaultName ? QStringLiteral("%1  %2").arg(n).arg(start)
                                                      : tr("%1  %2: %3").arg(n).arg(name, start);
        }
        m_entry->addItem(caption, n);
    }
    // An empty entry loses nothing.
    m_entry->setCurrentIndex(firstEmpty ? firstEmpty - 1 : 0);
    column->addWidget(label);
    column->addWidget(m_entry);
    auto *buttons = new QDialogButtonBox(this);
    QPushButton *store = buttons->addButton(tr("&Store"), QDialogButtonBox::AcceptRole);
    store->setObjectName(QStringLiteral("CmdStore"));
    store->setDefault(true);
    QPushButton *cancel = buttons->addButton(QDialogButtonBox::Cancel);
    cancel->setObjectName(QStringLiteral("CmdCancel"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    column->addWidget(buttons);
}

int StoreInDialog::entry() const {
    return m_entry->currentData().toInt();
}
