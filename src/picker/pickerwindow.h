#pragma once

#include <QWidget>

class EntrySession;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QListView;
class QModelIndex;
class PickerModel;

// One flat list of the entries that hold text and the frequent clippings that do, each with
// its key: 1 to 9, 0 and a to t for entries 1 to 30, then u to z and Shift+A to Shift+N for
// clippings 1 to 20. A key picks at once; "/" opens a filter field (name and text); arrows and
// Enter pick too; Esc closes with nothing changed. It belongs to no other window, so it shows
// whether the main window is shown, hidden or minimised.
class PickerWindow : public QWidget {
    Q_OBJECT
public:
    struct Pick {
        enum Kind { Entry, Clipping, History };
        Kind kind = Entry;
        int number = 0;
        bool operator==(const Pick &o) const { return kind == o.kind && number == o.number; }
    };

    explicit PickerWindow(EntrySession &session);

    // The key of an entry or a clipping, and what it picks; a history item's (the newest ten)
    // is its digit after Tab.
    static QChar keyOf(const Pick &pick);
    static bool pickOfKey(QChar key, Pick *pick);
    // The key a key press stands for in the list, whatever Caps Lock does to its text.
    static QChar keyOfEvent(const QKeyEvent *key);

    // Fills the list from the session as it is now and shows it: at `at` on X11, centred on
    // the screen on Wayland, where no program places its windows.
    void open(const QPoint &at);

    // The rows shown, the filter's matches only; each row's Qt::UserRole is its Pick.
    QListView *list() const { return m_list; }
    // The line that tells the keys.
    QLabel *keyHint() const { return m_hint; }
    // Whether digits pick history items now (after Tab).
    bool historyKeys() const { return m_historyKeys; }
    QLineEdit *filterField() const { return m_filter; }

signals:
    // While the picker still has the keyboard; then once it has closed.
    void picked(const PickerWindow::Pick &pick);
    void closedAfterPick(const PickerWindow::Pick &pick);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void fill();
    void applyFilter(const QString &filter);
    void pick(const Pick &pick);
    void pickIndex(const QModelIndex &index);
    void setCurrentRow(int row);

    EntrySession &m_session;
    QLineEdit *m_filter = nullptr;
    QListView *m_list = nullptr;
    PickerModel *m_model = nullptr;
    QLabel *m_hint = nullptr;
    bool m_picked = false;
    bool m_historyKeys = false;
    void showKeyHint();
};

Q_DECLARE_METATYPE(PickerWindow::Pick)
