#include <QtTest>
class T : public QObject { Q_OBJECT private slots: void none() {} };
QTEST_APPLESS_MAIN(T)
#include "test_translation.moc"
