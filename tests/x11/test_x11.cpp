// The picker's key on a real X server: a second X client stands for the other program that
// holds a key, and XTest types the key as a hand would.

#include "platform/globalshortcut.h"

#include <QSignalSpy>
#include <QTest>

#include <xcb/xcb.h>
#include <xcb/xcb_keysyms.h>
#include <xcb/xtest.h>

#include <cstdlib>

namespace {

constexpr quint16 lockVariants[] = {0, XCB_MOD_MASK_LOCK, XCB_MOD_MASK_2,
                                    XCB_MOD_MASK_LOCK | XCB_MOD_MASK_2};
constexpr quint16 ctrlAlt = XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_1;

// Another program on the same display.
class OtherClient {
public:
    OtherClient()
        : m_c(xcb_connect(nullptr, nullptr)) {
        m_root = xcb_setup_roots_iterator(xcb_get_setup(m_c)).data->root;
        m_symbols = xcb_key_symbols_alloc(m_c);
    }
    ~OtherClient() {
        xcb_key_symbols_free(m_symbols);
        xcb_disconnect(m_c);
    }
    bool connected() const { return !xcb_connection_has_error(m_c); }

    xcb_keycode_t keycode(xcb_keysym_t keysym) {
        xcb_keycode_t *codes = xcb_key_symbols_get_keycode(m_symbols, keysym);
        const xcb_keycode_t code = codes ? codes[0] : 0;
        std::free(codes);
        return code;
    }

    // Grabs the key with Ctrl+Alt and the lock variants given; the number refused (held by
    // another client).
    int grab(xcb_keysym_t keysym, std::initializer_list<quint16> variants) {
        int refused = 0;
        for (quint16 variant : variants) {
            xcb_generic_error_t *error = xcb_request_check(
                m_c, xcb_grab_key_checked(m_c, 1, m_root, ctrlAlt | variant, keycode(keysym),
                                          XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC));
            if (error) {
                ++refused;
                std::free(error);
            }
        }
        return refused;
    }
    void ungrab(xcb_keysym_t keysym) {
        for (quint16 variant : lockVariants)
            xcb_ungrab_key(m_c, keycode(keysym), m_root, ctrlAlt | variant);
        xcb_flush(m_c);
    }
    // Whether some other client holds Ctrl+Alt+key in every lock state.
    bool heldElsewhere(xcb_keysym_t keysym) {
        const int refused = grab(
            keysym, {0, XCB_MOD_MASK_LOCK, XCB_MOD_MASK_2, XCB_MOD_MASK_LOCK | XCB_MOD_MASK_2});
        ungrab(keysym);
        return refused == 4;
    }
    void typeCtrlAlt(xcb_keysym_t keysym) {
        const xcb_keycode_t keys[] = {keycode(0xffe3), keycode(0xffe9), keycode(keysym)};
        for (xcb_keycode_t k : keys)
            xcb_test_fake_input(m_c, XCB_KEY_PRESS, k, XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
        for (int i = 2; i >= 0; --i)
            xcb_test_fake_input(m_c, XCB_KEY_RELEASE, keys[i], XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
        xcb_flush(m_c);
    }

private:
    xcb_connection_t *m_c;
    xcb_window_t m_root = 0;
    xcb_key_symbols_t *m_symbols = nullptr;
};

constexpr xcb_keysym_t keyV = 'v';
constexpr xcb_keysym_t keyK = 'k';

} // namespace

class TestX11 : public QObject {
    Q_OBJECT
private slots:
    void changingTheKey_data();
    void changingTheKey();
};

void TestX11::changingTheKey_data() {
    QTest::addColumn<int>("otherHolds"); // lock variants of Ctrl+Alt+K the other program holds
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<bool>("taken");
    QTest::addColumn<QString>("after");
    QTest::newRow("a free key") << 0 << "Ctrl+Alt+K" << true << "Ctrl+Alt+K";
    QTest::newRow("a key another program holds") << 4 << "Ctrl+Alt+K" << false << "Ctrl+Alt+V";
    QTest::newRow("held by another only with Caps Lock")
        << 1 << "Ctrl+Alt+K" << false << "Ctrl+Alt+V";
    QTest::newRow("the same key again") << 0 << "Ctrl+Alt+V" << true << "Ctrl+Alt+V";
    QTest::newRow("a key not on the keyboard") << 0 << "Ctrl+Alt+F35" << false << "Ctrl+Alt+V";
    QTest::newRow("no key") << 0 << "" << true << "";
}

// Whatever key is chosen, the picker has a key afterwards: the new one, or the one before.
void TestX11::changingTheKey() {
    QFETCH(int, otherHolds);
    QFETCH(QString, chosen);
    QFETCH(bool, taken);
    QFETCH(QString, after);
    QVERIFY(GlobalShortcut::available());
    OtherClient other;
    QVERIFY(other.connected());
    if (otherHolds == 4)
        QCOMPARE(other.grab(keyK, {0, XCB_MOD_MASK_LOCK, XCB_MOD_MASK_2,
                                   XCB_MOD_MASK_LOCK | XCB_MOD_MASK_2}),
                 0);
    else if (otherHolds == 1)
        QCOMPARE(other.grab(keyK, {XCB_MOD_MASK_LOCK}), 0);

    GlobalShortcut shortcut;
    QString why;
    QVERIFY(shortcut.set(QKeySequence(QStringLiteral("Ctrl+Alt+V")), &why));
    QVERIFY(other.heldElsewhere(keyV));
    QCOMPARE(shortcut.set(QKeySequence(chosen), &why), taken);
    QCOMPARE(why.isEmpty(), taken);
    QCOMPARE(shortcut.key(), QKeySequence(after));

    // What the shortcut says it holds is what the X server says, and the key works.
    QCOMPARE(other.heldElsewhere(keyV), after == QLatin1String("Ctrl+Alt+V"));
    if (otherHolds == 0)
        QCOMPARE(other.heldElsewhere(keyK), after == QLatin1String("Ctrl+Alt+K"));
    if (!after.isEmpty()) {
        QSignalSpy activated(&shortcut, &GlobalShortcut::activated);
        other.typeCtrlAlt(after.endsWith(QLatin1Char('V')) ? keyV : keyK);
        QVERIFY2(activated.wait(5000), "the key held did not open the picker");
    }
    // The other program's grab is its own still.
    if (otherHolds)
        QVERIFY(other.grab(keyK, {XCB_MOD_MASK_LOCK}) == 0);
    other.ungrab(keyK);
}

QTEST_MAIN(TestX11)
#include "test_x11.moc"
