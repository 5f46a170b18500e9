#pragma once

#include <QAbstractListModel>
#include <QDialog>
#include <QWidget>

class ClipboardHistory;
class MainWindow;
class QComboBox;
class QLabel;
class QLineEdit;
class QListView;
class QPushButton;
class QSortFilterProxyModel;

// The history as a list: one row per copy, newest first, drawn only for the rows in view, so
// 10,000 copies cost no more than ten.
class HistoryModel : public QAbstractListModel {
    Q_OBJECT
public:
    // The row's first line alone, for the filter.
    static constexpr int startRole = Qt::UserRole + 1;

    explicit HistoryModel(const ClipboardHistory &history, QObject *parent = nullptr);
    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    // The time of a copy as a row shows it: the time alone today, the date with it before.
    static QString shownTime(qint64 copiedMs, qint64 nowMs);
    // The ages were said some time ago: say them again.
    void refreshAges();

private:
    const ClipboardHistory &m_history;
};

// The clipboard history's window: the copies with a filter over their texts, and for the
// selected one Copy, Store in Entry, Delete; Clear History for all of them. Not modal.
class HistoryWindow : public QWidget {
    Q_OBJECT
public:
    explicit HistoryWindow(MainWindow &main);

    QLineEdit *filterField() const { return m_filter; }
    QListView *list() const { return m_list; }
    // The selected copy's number in the history, 0 when none is selected.
    int selectedItem() const;
    void copySelected();
    void storeSelected();
    void deleteSelected();
    void clearHistory();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void showState();

    MainWindow &m_main;
    ClipboardHistory &m_history;
    HistoryModel *m_model = nullptr;
    QSortFilterProxyModel *m_filtered = nullptr;
    QLineEdit *m_filter = nullptr;
    QListView *m_list = nullptr;
    QLabel *m_state = nullptr;
    QPushButton *m_copy = nullptr;
    QPushButton *m_store = nullptr;
    QPushButton *m_delete = nullptr;
    QPushButton *m_clear = nullptr;
    // The selected copy's key while the rows are made again.
    QString m_selectedKey;
};

// Chooses the entry, by number and name, that a history item is stored in.
class StoreInDialog : public QDialog {
    Q_OBJECT
public:
    StoreInDialog(MainWindow &main, QWidget *parent);
    QComboBox *entryField() const { return m_entry; }
    int entry() const;

private:
    QComboBox *m_entry = nullptr;
};
