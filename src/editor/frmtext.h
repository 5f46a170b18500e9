#pragma once

#include "platform/filedialog.h"

#include <QMainWindow>

class FrmSnapvale;
class QAction;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QToolButton;

// The editor: one text, the usual edit commands, text files, two fixed sizes, and the way back
// into the entry it was opened for. Modal over the main window; deletes itself when closed.
class FrmText : public QMainWindow {
    Q_OBJECT
public:
    explicit FrmText(FrmSnapvale &main);

    // The editor's text exactly: as given while unedited, otherwise with the line breaks the
    // text came with.
    QString text() const;
    void setText(const QString &text);
    QPlainTextEdit *TxtComplete() const { return m_text; }
    FileDialog &CommonDialog1() { return m_commonDialog1; }
    QLabel *LblUpdateNumber() const { return m_lblUpdateNumber; }
    QLabel *LblAddNumber() const { return m_lblAddNumber; }
    QAction *action(const QString &name) const;

    // The window's outer size in twips, and setting it.
    QSize outerSizeTwips() const;
    void setOuterSizeTwips(int width, int height);
    // Where a window of `size` twips lands when centred in `workArea` pixels, in twips.
    static QPoint centredTwips(const QRect &workArea, const QSize &size, double twipsPerPixelX,
                               double twipsPerPixelY);

    void OpenMnu_Click();
    void SaveMnu_Click();
    void SaveAsMnu_Click();
    void PicClip_Click();
    void PicClipExit_Click();
    void EditMnu_Click();
    void CutMnu_Click();
    void CopyMnu_Click();
    void PasteMnu_Click();
    void DeleteMnu_Click();
    void SelectMnu_Click();
    void WindowMnu_Click();
    void EnlargeMnu_Click();
    void DefaultMnu_Click();
    void PicUpdate1_Click();
    void PicAdd1_Click();

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void buildMenus();
    void buildToolbar();
    QToolButton *pictureButton(const char *name, const char *icon, const QString &tip, int left,
                               int width);
    void place(QWidget *w, int left, int top, int width, int height);
    void layoutControls();
    void centre();
    bool copyWholeText();
    bool selectionToClipboard();
    bool writeTo(const QString &path);
    QString selectedText() const;
    int entryNumber(const QLabel *label) const;

    FrmSnapvale &m_main;
    FileDialog m_commonDialog1;
    QPlainTextEdit *m_text = nullptr;
    QWidget *m_client = nullptr;
    QLabel *m_lblUpdateNumber = nullptr;
    QLabel *m_lblAddNumber = nullptr;
    QString m_original;
    bool m_crlf = true;
    QSize m_setTwips;
    QSize m_setPixels;
};
