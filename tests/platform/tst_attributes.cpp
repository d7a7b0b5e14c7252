#include "platform/AttributeValue.h"

#include <QtTest>

using namespace tw;

// What user text becomes inside a generated tag: nothing typed may end an
// attribute value early, and nothing else is changed.
class AttributesTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void writtenBytes_data()
    {
        QTest::addColumn<QString>("how"); // text, address or bare
        QTest::addColumn<QString>("value");
        QTest::addColumn<QByteArray>("written"); // UTF-8
        QTest::newRow("empty") << "text" << "" << QByteArray("\"\"");
        QTest::newRow("quote ends nothing")
            << "address" << "a.htm\" onclick=\"alert(1)" << QByteArray("\"a.htm&quot; onclick=&quot;alert(1)\"");
        QTest::newRow("marks kept") << "text" << " <b>&amp; 'x' = `y` " << QByteArray("\" <b>&amp; 'x' = `y` \"");
        QTest::newRow("line breaks in text kept") << "text" << "a\nb\r\nc" << QByteArray("\"a\nb\r\nc\"");
        QTest::newRow("line breaks in an address") << "address" << "a\nb\r\nc.gif" << QByteArray("\"a%0Ab%0D%0Ac.gif\"");
        QTest::newRow("an address holding %0A stays") << "address" << "a%0A.gif" << QByteArray("\"a%0A.gif\"");
        QTest::newRow("non-ASCII kept") << "address" << "caf\u00e9 \u2028\"\u00a0.gif"
                                        << QByteArray("\"caf\xc3\xa9 \xe2\x80\xa8&quot;\xc2\xa0.gif\"");
        QTest::newRow("bare number") << "bare" << "-2.5" << QByteArray("-2.5");
        QTest::newRow("bare empty") << "bare" << "" << QByteArray("");
        QTest::newRow("bare blanks around") << "bare" << " 5\t" << QByteArray(" 5\t");
        QTest::newRow("bare blank inside") << "bare" << "1 2" << QByteArray("\"1 2\"");
        QTest::newRow("bare line break inside") << "bare" << "1\n2" << QByteArray("\"1\n2\"");
        QTest::newRow("bare closing mark") << "bare" << "1>" << QByteArray("\"1>\"");
        QTest::newRow("bare opening quote") << "bare" << " \"> <" << QByteArray("\" &quot;> <\"");
        QTest::newRow("bare other marks") << "bare" << "'1'" << QByteArray("\"'1'\"");
        QTest::newRow("bare equals") << "bare" << "1=2" << QByteArray("\"1=2\"");
        QTest::newRow("bare backquotes") << "bare" << "`1`" << QByteArray("\"`1`\"");
        QTest::newRow("bare form feed inside") << "bare" << "1\f2" << QByteArray("\"1\f2\"");
    }
    void writtenBytes()
    {
        QFETCH(QString, how);
        QFETCH(QString, value);
        QFETCH(QByteArray, written);
        const QString out = how == "bare" ? bareAttribute(value)
            : quotedAttribute(value, how == "address" ? AttributeKind::Address : AttributeKind::Text);
        QCOMPARE(out.toUtf8(), written);
    }
};

QTEST_MAIN(AttributesTest)
#include "tst_attributes.moc"
