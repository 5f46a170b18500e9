#include "core/storedsettings.h"

#include "core/optionflag.h"
#include "core/settingsstore.h"

#include <QDir>

#include <algorithm>

namespace {

const QString settingsSection = QStringLiteral("Settings");
const QString frequentSection = QStringLiteral("Frequent");

QString optionKey(Option option) {
    switch (option) {
    case Option::OnTop:
        return QStringLiteral("OnTop");
    case Option::MouseOver:
        return QStringLiteral("MouseOver");
    case Option::PasteAfterPicking:
        return QStringLiteral("PasteAfterPicking");
    case Option::RestoreClipboard:
        return QStringLiteral("RestoreClipboard");
    case Option::History:
        return QStringLiteral("History");
    case Option::AutoSave:
        break;
    }
    return QStringLiteral("AutoSave");
}

const QString shortcutKey = QStringLiteral("PickerShortcut");
const QString secretsSection = QStringLiteral("Secrets");

QString secretKey(int n) {
    return QStringLiteral("Entry%1").arg(n);
}

// "01" to "20".
QString clippingKey(int k) {
    return QStringLiteral("%1").arg(k, 2, 10, QLatin1Char('0'));
}

} // namespace

EntrySection EntrySection::startup() {
    return EntrySection(QStringLiteral("Data"));
}

EntrySection EntrySection::recovery() {
    return EntrySection(QStringLiteral("Recovery"));
}

EntrySection EntrySection::set(const QString &path) {
    return EntrySection(path);
}

bool EntrySection::isSetPath(const QString &path) {
    for (const EntrySection &own : {startup(), recovery()}) {
        if (path == own.storedName())
            return false;
    }
    return QDir::isAbsolutePath(path) && path != settingsSection && path != frequentSection &&
           path != secretsSection;
}

bool hasEntries(const SettingsStore &store, const EntrySection &section) {
    return store.hasSection(section.storedName());
}

bool removeEntries(SettingsStore &store, const EntrySection &section, bool keptElsewhere) {
    return store.removeSection(section.storedName(), keptElsewhere
                                                         ? SettingsStore::Erase::KeptElsewhere
                                                         : SettingsStore::Erase::Zero);
}

Options loadOptions(const SettingsStore &store) {
    Options options;
    options.onTop = OptionFlag::isOn(store.get(settingsSection, optionKey(Option::OnTop)));
    options.mouseOver = OptionFlag::isOn(store.get(settingsSection, optionKey(Option::MouseOver)));
    options.autoSave = OptionFlag::isOn(store.get(settingsSection, optionKey(Option::AutoSave)));
    options.pasteAfterPicking =
        OptionFlag::isOn(store.get(settingsSection, optionKey(Option::PasteAfterPicking)));
    options.restoreClipboard =
        store.get(settingsSection, optionKey(Option::RestoreClipboard)) == OptionFlag::on;
    bool isNumber = false;
    const int seconds =
        store.get(settingsSection, QStringLiteral("SecretClearSeconds")).toInt(&isNumber);
    if (isNumber)
        options.secretClearSeconds = std::clamp(seconds, 10, 300);
    options.history = OptionFlag::isOn(store.get(settingsSection, optionKey(Option::History)));
    const int items = store.get(settingsSection, QStringLiteral("HistorySize")).toInt(&isNumber);
    if (isNumber)
        options.historySize = std::clamp(items, 10, 10000);
    return options;
}

bool saveHistorySize(SettingsStore &store, int items) {
    return store.set(settingsSection, QStringLiteral("HistorySize"), QString::number(items));
}

bool saveSecretClearSeconds(SettingsStore &store, int seconds) {
    return store.set(settingsSection, QStringLiteral("SecretClearSeconds"),
                     QString::number(seconds));
}

QSize loadEditorSize(const SettingsStore &store) {
    const QStringList parts =
        store.get(settingsSection, QStringLiteral("EditorSize")).split(QLatin1Char('x'));
    if (parts.size() != 2)
        return {};
    bool wide = false, high = false;
    const QSize size(parts[0].toInt(&wide), parts[1].toInt(&high));
    // Half a metre either way is no window size: a damaged value.
    constexpr int most = 1440 * 20;
    if (!wide || !high || size.width() <= 0 || size.height() <= 0 || size.width() > most ||
        size.height() > most)
        return {};
    return size;
}

bool saveEditorSize(SettingsStore &store, const QSize &twips) {
    return store.set(settingsSection, QStringLiteral("EditorSize"),
                     QStringLiteral("%1x%2").arg(twips.width()).arg(twips.height()));
}

bool saveOption(SettingsStore &store, Option option, bool on) {
    return store.set(settingsSection, optionKey(option), OptionFlag::encode(on));
}

QStringList loadClippings(const SettingsStore &store) {
    QStringList clippings;
    for (int k = 1; k <= ClippingCount; ++k)
        clippings << store.get(frequentSection, clippingKey(k));
    return clippings;
}

bool saveClippings(SettingsStore &store, const QStringList &clippings) {
    SettingsStore::Transaction transaction(store);
    for (int k = 1; k <= ClippingCount; ++k) {
        if (!store.set(frequentSection, clippingKey(k), clippings.value(k - 1)))
            return false;
    }
    return transaction.commit();
}

QString loadPickerShortcut(const SettingsStore &store) {
    const QString stored = store.get(settingsSection, shortcutKey);
    return stored.isEmpty() ? defaultPickerShortcut : stored;
}

bool savePickerShortcut(SettingsStore &store, const QString &shortcut) {
    return store.set(settingsSection, shortcutKey, shortcut);
}

QList<int> loadSecretMarks(const SettingsStore &store) {
    QList<int> marked;
    for (int n = 1; n <= 30; ++n) {
        if (store.get(secretsSection, secretKey(n)) == OptionFlag::on)
            marked << n;
    }
    return marked;
}

bool saveSecretMark(SettingsStore &store, int n, bool secret) {
    return store.set(secretsSection, secretKey(n), secret ? OptionFlag::on : QString());
}
