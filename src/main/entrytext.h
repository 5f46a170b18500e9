#pragma once

#include <QFrame>

class EntryStore;

// The one-line view of an entry's text. It reads the text from the store instead of keeping a
// copy, and draws only the start that fits, so an entry of 100 MB costs nothing to show.
class EntryText : public QFrame {
    Q_OBJECT
public:
    EntryText(const EntryStore &store, int n, QWidget *parent = nullptr);

    int entry() const { return m_n; }
    // Exactly the entry text (read from the store when it is still kept there), and the name.
    QString text() const;
    // A secret entry's field shows dots; its text is kept elsewhere.
    bool isSecret() const;
    const QString &entryName() const;
    // What the field shows: the start of the text, line breaks and tabs drawn as spaces.
    QString displayText() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

    // Takes the entry's current name as tooltip and accessible description, and repaints.
    void refresh();

signals:
    void clicked();
    void mouseMoved();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    const EntryStore &m_store;
    int m_n;
};
