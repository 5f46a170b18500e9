#include "picker/shortcutdialog.h"

#include "main/mainwindow.h"
#include "platform/desktop.h"
#include "platform/globalshortcut.h"
#include "platform/portalshortcut.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QKeySequenceEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

ShortcutDialog::ShortcutDialog(MainWindow &main, GlobalShortcut *shortcut, PortalShortcut *portal)
    : QDialog(&main)
    , m_main(main)
    , m_shortcut(shortcut)
    , m_portal(portal) {
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
        m_key->installEventFilter(this);
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

    if (m_portal) {
        m_portalStatus = new QLabel(this);
        m_portalStatus->setObjectName(QStringLiteral("LblPortal"));
        m_portalStatus->setWordWrap(true);
        m_portalStatus->setTextInteractionFlags(Qt::TextSelectableByMouse);
        m_ask = new QPushButton(tr("&Ask the Desktop for a Key"), this);
        m_ask->setObjectName(QStringLiteral("CmdAskDesktop"));
        connect(m_ask, &QPushButton::clicked, this, &ShortcutDialog::askDesktop);
        auto *portalRow = new QHBoxLayout;
        portalRow->addWidget(m_portalStatus, 1);
        portalRow->addWidget(m_ask, 0, Qt::AlignTop);
        layout->addLayout(portalRow);
        connect(m_portal, &PortalShortcut::stateChanged, this, &ShortcutDialog::showPortalState);
    }
    m_commandPart = new QWidget(this);
    auto *commandLayout = new QVBoxLayout(m_commandPart);
    commandLayout->setContentsMargins(0, 0, 0, 0);
    m_status->setParent(m_commandPart);
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
    commandLayout->addWidget(m_status);
    commandLayout->addLayout(commandRow);
    commandLayout->addWidget(where);
    layout->addWidget(m_commandPart);
    layout->addWidget(buttons);
    if (m_portal)
        showPortalState();
}

void ShortcutDialog::showPortalState() {
    using State = PortalShortcut::State;
    const State state = m_portal->state();
    switch (state) {
    case State::Bound:
        m_portalStatus->setText(
            m_portal->trigger().isEmpty()
                ? tr("The desktop keeps a key for the entry picker: choose it in the desktop's "
                     "keyboard settings.")
                : tr("The desktop opens the entry picker with %1. Change the key in the "
                     "desktop's keyboard settings.")
                      .arg(m_portal->trigger()));
        break;
    case State::Idle:
        m_portalStatus->setText(tr("The entry picker has no key."));
        break;
    case State::Asking:
        m_portalStatus->setText(tr("Waiting for the desktop's answer..."));
        break;
    case State::Refused:
        m_portalStatus->setText(tr("The desktop gave the entry picker no key."));
        break;
    case State::Unavailable:
        m_portalStatus->setText(tr("This desktop keeps no keys for programs."));
        break;
    }
    m_ask->setVisible(state == State::Idle || state == State::Refused);
    m_portalStatus->setVisible(state != State::Unavailable);
    // Bound: the command is not needed any more.
    m_commandPart->setVisible(state != State::Bound);
}

bool ShortcutDialog::eventFilter(QObject *watched, QEvent *event) {
    // The key field would record Esc as the key; Esc cancels, as in every dialog.
    if (watched == m_key && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape &&
        static_cast<QKeyEvent *>(event)->modifiers() == Qt::NoModifier) {
        reject();
        return true;
    }
    return QDialog::eventFilter(watched, event);
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
