#pragma once

#include "core/storedsettings.h"

#include <QWidget>

#include <array>

class MainWindow;
class QLineEdit;

// Edits the 20 frequently used clippings. Not modal. Every closing applies the fields to the
// tray menu's clipping items and stores all 20; there is no way to discard.
class ClippingsWindow : public QWidget {
    Q_OBJECT
public:
    explicit ClippingsWindow(MainWindow &main);

    QLineEdit *field(int k) const { return m_fields[k - 1]; }

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    MainWindow &m_main;
    std::array<QLineEdit *, ClippingCount> m_fields{};
};
