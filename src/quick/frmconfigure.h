#pragma once

#include "core/registry.h"

#include <QWidget>

#include <array>

class FrmSnapvale;
class QLineEdit;

// Edits the 20 frequently used clippings. Not modal. Every closing applies the fields to the
// tray menu's clipping items and stores all 20 under "Frequent"; there is no way to discard.
class FrmConfigure : public QWidget {
    Q_OBJECT
public:
    explicit FrmConfigure(FrmSnapvale &main);

    QLineEdit *Text(int k) const { return m_fields[k]; }

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    FrmSnapvale &m_main;
    Registry m_reg;
    std::array<QLineEdit *, 21> m_fields{};
};
