// The memo window: caption, read-only text that the Tab key passes by, the caption fit and
// the margins of the text box.
#include "frmMemo.h"

#include <QApplication>
#include <QFontMetrics>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>

#include <cmath>
#include <functional>

class TestMemo : public QObject {
    Q_OBJECT

    // Calls GetMemo and runs `inspect` on the open modal window, which is then closed.
    QString Shown(frmMemo& memo, const QString& text, const QString& caption, bool allowEdit,
                  const std::function<void(frmMemo&)>& inspect)
    {
        bool inspected = false;
        QTimer::singleShot(0, &memo, [&] {
            (void)QTest::qWaitFor([&] { return memo.isVisible(); }, 5000);
            inspect(memo);
            inspected = true;
            memo.close();
        });
        const QString result = memo.GetMemo(text, caption, allowEdit, false);
        [&] { QVERIFY(inspected); }();
        return result;
    }

private slots:
    void captionAndText()
    {
        frmMemo memo;
        QCOMPARE(memo.windowTitle(), QStringLiteral("Memo Writer"));
        const QSize before = memo.size();
        const QString text = QStringLiteral("Request : \r\n=========\r\n{\n  \"Password\": \"*****\"\n}");
        QString shownText;
        const QString result = Shown(memo, text, QStringLiteral("Request and Response Text"), false, [&](frmMemo& m) {
            QVERIFY(m.isModal());
            QCOMPARE(QApplication::activeModalWidget(), &m);
            QCOMPARE(m.windowTitle(), QStringLiteral("Request and Response Text"));
            shownText = m.txtMemo()->toPlainText();
        });
        QCOMPARE(result, QString());
        QVERIFY(shownText.contains(QStringLiteral("\"Password\": \"*****\"")));
        QVERIFY(shownText.startsWith(QStringLiteral("Request : ")));
        QCOMPARE(memo.size(), before);  // a short caption leaves the size alone
    }

    void readOnlyAndOutOfTabOrder()
    {
        // A window with a button beside the memo box: Tab goes to the button, never into the box.
        frmMemo memo;
        auto* other = new QPushButton(QStringLiteral("other"), &memo);
        other->move(0, 0);
        Shown(memo, QStringLiteral("abc"), QStringLiteral("Caption"), false, [&](frmMemo& m) {
            QVERIFY(m.txtMemo()->isReadOnly());
            QTest::keyClicks(m.txtMemo(), QStringLiteral("xyz"));
            QCOMPARE(m.txtMemo()->toPlainText(), QStringLiteral("abc"));
            other->setFocus();
            QTest::keyClick(&m, Qt::Key_Tab);
            QVERIFY(!m.txtMemo()->hasFocus());
            QCOMPARE(m.txtMemo()->focusPolicy() & Qt::TabFocus, 0);
        });
    }

    void longCaptionWidens()
    {
        frmMemo memo;
        memo.resize(300, 200);
        const QString caption = QString(QStringLiteral("A long caption ")).repeated(8);
        Shown(memo, QStringLiteral("abc"), caption, false, [&](frmMemo& m) {
            const int wanted = static_cast<int>(std::ceil(1.4 * QFontMetrics(m.font()).horizontalAdvance(caption)));
            QCOMPARE(m.width(), wanted);
        });
        // It never narrows.
        frmMemo wide;
        wide.resize(900, 300);
        Shown(wide, QStringLiteral("abc"), caption.left(20), false, [&](frmMemo& m) { QCOMPARE(m.width(), 900); });
    }

    void margins_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::newRow("ordinary") << QSize(500, 300);
        QTest::newRow("wide") << QSize(1000, 200);
        QTest::newRow("smaller than the margins") << QSize(3, 3);
    }
    void margins()
    {
        QFETCH(QSize, size);
        frmMemo memo;
        memo.setMinimumSize(1, 1);
        memo.resize(size);
        memo.show();
        QVERIFY(QTest::qWaitForWindowExposed(&memo));
        const int side = memo.TwipsToPixels(30), bottom = memo.TwipsToPixels(60);
        const QRect box = memo.txtMemo()->geometry();
        QCOMPARE(box.top(), 0);
        QCOMPARE(box.left(), side);
        QCOMPARE(box.width(), std::max(0, memo.width() - 2 * side));
        QCOMPARE(box.height(), std::max(0, memo.height() - bottom));
    }
};

QTEST_MAIN(TestMemo)
#include "test_memo.moc"
