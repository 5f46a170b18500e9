#include "picker/shortcutdialog.h"

#include "main/mainwindow.h"
#include "platform/desktop.h"
#include "platform/globalshortcut.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QKeySequenceEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

ShortcutDialog::ShortcutDialog(MainWindow &main, GlobalShortcut *shortcut)
    : QDialog(&main)
    , m_main(main)
    , m_shortcut(shortcut) {
    setObjectName(QStringLiteral("FrmShortcut"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(tr("Keyboard Shortcut"));
    main.applyStackOrder(this);
    auto *layout = new QVBoxLayout(this);
    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("LblStatus"));
    m_status->setWordWrap(true);
    m_status->setTextInteractionFlags(Qt::TextSelectableByMouse);

    if (m_shortcut) {
        auto *prompt = new QLabel(tr("Press the key that opens the entry picker from any "
                                     "program:"),
                                  this);
        m_key = new QKeySequenceEdit(m_shortcut->key(), this);
        m_key->setObjectName(QStringLiteral("KeyShortcut"));
        m_key->setAccessibleName(tr("Key for the entry picker"));
        prompt->setBuddy(m_key);
        // One key with its modifiers: the first of what was typed.
        connect(m_key, &QKeySequenceEdit::editingFinished, this, [this] {
            const QKeySequence typed = m_key->keySequence();
            if (typed.count() > 1)
                m_key->setKeySequence(QKeySequence(typed[0]));
        });
        auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
        QPushButton *none = buttons->addButton(tr("&No Key"), QDialogButtonBox::ResetRole);
        none->setObjectName(QStringLiteral("CmdNoKey"));
        connect(none, &QPushButton::clicked, m_key, &QKeySequenceEdit::clear);
        connect(buttons, &QDialogButtonBox::accepted, this, [this] {
            if (take())
                accept();
        });
        connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
        layout->addWidget(prompt);
        layout->addWidget(m_key);
        layout->addWidget(m_status);
        layout->addWidget(buttons);
        return;
    }

    m_status->setText(
        tr("This desktop lets no program take a key for itself. Bind this command to a key in "
           "the desktop's keyboard settings:"));
    auto *commandRow = new QHBoxLayout;
    auto *commandField = new QLineEdit(command(), this);
    commandField->setObjectName(QStringLiteral("TxtCommand"));
    commandField->setReadOnly(true);
    commandField->setAccessibleName(tr("Command"));
    auto *copy = new QPushButton(tr("&Copy"), this);
    copy->setObjectName(QStringLiteral("CmdCopyCommand"));
    connect(copy, &QPushButton::clicked, this,
            [this] { copyToClipboard(m_main.desktop(), this, command()); });
    commandRow->addWidget(commandField, 1);
    commandRow->addWidget(copy);
    auto *where = new QLabel(
        tr("<ul><li><b>GNOME</b>: Settings, Keyboard, View and Customise Shortcuts, Custom "
           "Shortcuts, +</li><li><b>KDE Plasma</b>: System Settings, Shortcuts, Add New, "
           "Command or Script</li><li><b>Xfce</b>: Settings, Keyboard, Application "
           "Shortcuts, + Add</li><li><b>sway</b>: <tt>bindsym $mod+v exec snapvale --menu</tt> "
           "in <tt>~/.config/sway/config</tt>, then <tt>swaymsg reload</tt></li></ul>"),
        this);
    where->setTextFormat(Qt::RichText);
    where->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(m_status);
    layout->addLayout(commandRow);
    layout->addWidget(where);
    layout->addWidget(buttons);
}

bool ShortcutDialog::take() {
    if (!m_shortcut || !m_key)
        return false;
    const QKeySequence key = m_key->keySequence();
    QString why;
    if (!m_shortcut->set(key, &why)) {
        m_status->setText(why);
        return false;
    }
    emit chosen(key);
    return true;
}
