#pragma once

#include "core/entrystore.h"
#include "core/text.h"

#include <QMainWindow>
#include <QStringDecoder>
#include <QTimer>

class MainWindow;
class QAction;
class QPlainTextEdit;
class QPushButton;
class QToolButton;

// The editor's menu items; each also carries its objectName ("OpenMnu", "EnlargeMnu").
struct EditorActions {
    QAction *open = nullptr;
    QAction *save = nullptr;
    QAction *saveAs = nullptr;
    QAction *close = nullptr;
    QAction *cut = nullptr;
    QAction *copy = nullptr;
    QAction *paste = nullptr;
    QAction *remove = nullptr;
    QAction *selectAll = nullptr;
    QAction *enlarge = nullptr;
    QAction *defaultSize = nullptr;
};

// The editor: one text, the usual edit commands, text files, two fixed sizes, and the way back
// into the entry it was opened for. Modal over the main window; deletes itself when closed.
class EditorWindow : public QMainWindow {
    Q_OBJECT
public:
    // An editor whose Update and Add write into entry n.
    EditorWindow(MainWindow &main, int n);

    // The editor's text exactly: as given while unedited, otherwise with the line breaks the
    // text came with.
    QString text() const;
    void setText(const QString &text);
    // A text as an entry holds it. The first screen shows at once; the rest arrives in steps
    // that leave the window free, read-only until all of it is there.
    void setContent(const EntryStore::Content &content);
    // The text of the editor's own entry. While unedited, the editor follows later changes of
    // the entry (a paste, Load Set); an edited text goes over a newer one only after a question.
    void showEntry(const EntryStore::Content &content);
    bool isLoading() const { return m_loader.isActive(); }
    QPlainTextEdit *textEdit() const { return m_text; }
    int entry() const { return m_entry; }
    // The file the text was last opened from or saved to; Save writes there without asking.
    QString filePath() const { return m_filePath; }
    const EditorActions &actions() const { return m_actions; }

    // The window's outer size in twips, and setting it.
    QSize outerSizeTwips() const;
    void setOuterSizeTwips(int width, int height);
    // Where a window of `size` twips lands when centred in `workArea` pixels, in twips.
    static QPoint centredTwips(const QRect &workArea, const QSize &size, double twipsPerPixelX,
                               double twipsPerPixelY);

    void openFile();
    void save();
    void saveAs();
    void copyText();
    void copyTextAndClose();
    void updateEditMenu();
    void cut();
    void copy();
    void paste();
    void deleteSelection();
    void selectAll();
    void updateWindowMenu();
    void enlarge();
    void defaultSize();
    // Writes the text into the entry, keeping its name; Add also names it "Untitled".
    void updateEntry();
    void addEntry();

    // Closes at once, edits or not: at log-out or on a signal nobody can be asked.
    void closeWithoutAsking();

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void buildMenus();
    void buildToolbar();
    QToolButton *pictureButton(const char *name, const char *icon, const QString &tip);
    void place(QWidget *w, int left, int top, int width, int height);
    void layoutControls();
    void centre();
    bool writeTo(const QString &path);
    // A screen of text, or the size it had when last closed, within the screen.
    QSize openingSize() const;
    // Whether the text may be written to `path`: asks first for a secret entry's text.
    bool maySaveTo(const QString &path);
    // The text to the clipboard, marked and cleared later for a secret entry.
    bool copyOut(const QString &text);
    bool fitsInEntry(qint64 utf8Bytes);
    bool appendNextPart(qint64 bytes);
    void loadMore();
    // The text to write into the entry: the given one itself while unedited.
    EntryStore::Content contentToWrite() const;
    void markUnedited();
    // The entry changed since the editor last took or wrote its text.
    bool entryChangedMeanwhile() const;
    // Whether Update or Add may write now: unchanged, or the user says so.
    bool mayWriteEntry();
    void wroteEntry();
    void followEntry();
    QString selectedText() const;

    MainWindow &m_main;
    const int m_entry;
    EditorActions m_actions;
    QString m_filePath;
    // The file the user let a secret's text go to.
    QString m_secretFileAllowed;
    QPlainTextEdit *m_text = nullptr;
    QWidget *m_client = nullptr;
    QWidget *m_toolRow = nullptr;
    QToolButton *m_update = nullptr;
    QToolButton *m_add = nullptr;
    // The text as given (or last written), exact to the byte, and how much of it is shown.
    EntryStore::Content m_given;
    qint64 m_shownBytes = 0;
    QStringDecoder m_decoder;
    QString m_heldBack;
    QTimer m_loader;
    qsizetype m_lineLength = 0;
    bool m_sawLf = false;
    bool m_sawCrLf = false;
    // Lines typed in the editor end as the text's own do, or with the platform's break.
    bool m_crlf = Text::lineBreak().size() == 2;
    // Part of the given text could not be read: nothing of it may be written back.
    bool m_unreadable = false;
    // The entry's text as the editor last took or wrote it (EntryStore::textVersion), and
    // whether what is shown, unedited, is that text.
    quint64 m_entryVersion = 0;
    bool m_followsEntry = false;
    QSize m_setTwips;
    QSize m_setPixels;
};
