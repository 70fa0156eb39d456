#include "core/Base64.h"
#include "core/Reply.h"

#include "util/ExeFolder.h"
#include "util/Gbk.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace lumora;

namespace
{
QString b64(const QString &text)
{
    return QString::fromLatin1(Base64EncodeLine(ToGbk(text)));
}

QByteArray readFile(const QString &name)
{
    QFile f(ExeFolder() + name);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}
} // namespace

class TestReply : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void envelope();
    void rowsWhateverTheirName();
    void rows_data();
    void rows();
    void recordRowSetsPresentFieldsOnly();
    void recordRowInAnyOrder();
    void rowsReadInTurn();
    void rowTextOfBadBase64();
    void pageInfo_data();
    void pageInfo();
    void monthTotalRow();
    void notWellFormedThrows();
    void debugDump();
    void dataDumpHoldsTheLastDocument();
    void dumpIntoMissingFolderIsSilent();
    void savedDocument_data();
    void savedDocument();
    void deepNestingSavesWithoutRecursion();

private:
    std::unique_ptr<QTemporaryDir> dir;
};

void TestReply::init()
{
    dir = std::make_unique<QTemporaryDir>();
    SetExeFolder(dir->path());
}

void TestReply::envelope()
{
    // Instructions carry names too, but only elements count.
    const Reply r =
        ParseReply(QStringLiteral("<?xml version=\"1.0\" encoding=\"gbk\"?>\n<x><?Data p?><a><Data/></a><Result "
                                  "Value=\"1\"/><Data n=\"1\"/><Data n=\"2\"/><Info CurPage=\"0\"/></x> "));
    QVERIFY(r.result);
    QCOMPARE(r.data.attribute("n").value(), "1"); // the first "Data" child, not a nested one
    QVERIFY(r.info);
}

void TestReply::rowsWhateverTheirName()
{
    const Reply r = ParseReply(QStringLiteral("<x><Data><Row a=\"1\"/>text<item a=\"2\"/><!-- c --><z a=\"3\"><q/></z>"
                                              "</Data></x>"));
    const auto rows = ReplyRows(r);
    QCOMPARE(rows.size(), 3);
    QCOMPARE(rows.at(1).attribute("a").value(), "2");
    QCOMPARE(rows.at(2).name(), "z");
}

void TestReply::rows_data()
{
    QTest::addColumn<QString>("reply");
    QTest::addColumn<int>("count");
    QTest::newRow("empty Data") << "<x><Data></Data></x>" << 0;
    QTest::newRow("no Data") << "<x><Result Value=\"1\"/></x>" << 0;
    QTest::newRow("empty root") << "<x/>" << 0;
    QTest::newRow("two rows") << "<x><Data><r/><r/></Data></x>" << 2;
}

void TestReply::rows()
{
    QFETCH(QString, reply);
    QFETCH(int, count);
    const Reply parsed = ParseReply(reply);
    QCOMPARE(ReplyRows(parsed).size(), count);
}

void TestReply::recordRowSetsPresentFieldsOnly()
{
    const QString xml = QStringLiteral("<x><Data><Row id_guid=\"%1\" id=\"%2\" name1=\"%3\" in1=\"%4\" money1=\"%5\" "
                                       "type1=\"%6\" create_time=\"%7\" input_user=\"%8\" is_lock=\"%9\"/>"
                                       "<Other name1=\"%3\"/></Data></x>")
                            .arg(b64("{A}"), b64("12"), b64("午饭 & 晚饭"), b64("0"), b64("25.5"), b64("餐饮"),
                                 b64("2009-01-05"), b64("192.168.0.2"), b64("1"));
    const Reply reply = ParseReply(xml);
    const auto rows = ReplyRows(reply);
    QCOMPARE(rows.size(), 2);

    TItemInfo full;
    ReadRecordRow(rows.at(0), full);
    QCOMPARE(full.id_guid, QStringLiteral("{A}"));
    QCOMPARE(full.id, QStringLiteral("12"));
    QCOMPARE(full.name1, QStringLiteral("午饭 & 晚饭"));
    QCOMPARE(full.in1, QStringLiteral("0"));
    QCOMPARE(full.money1, QStringLiteral("25.5"));
    QCOMPARE(full.type1, QStringLiteral("餐饮"));
    QCOMPARE(full.create_time, QStringLiteral("2009-01-05"));
    QCOMPARE(full.input_user, QStringLiteral("192.168.0.2"));
    QCOMPARE(full.is_lock, QStringLiteral("1"));

    TItemInfo partial;
    partial.money1 = QStringLiteral("kept");
    partial.StatusText = QStringLiteral("status");
    ReadRecordRow(rows.at(1), partial);
    QCOMPARE(partial.name1, QStringLiteral("午饭 & 晚饭"));
    QCOMPARE(partial.money1, QStringLiteral("kept"));
    QCOMPARE(partial.StatusText, QStringLiteral("status"));
}

void TestReply::rowsReadInTurn()
{
    // Values that come back after another, a row without the field, and a repeat that is only the second of two
    // attributes of one name: each row reads as it would alone.
    const QString xml = QStringLiteral("<x><Data><r type1=\"%1\" name1=\"%3\"/><r type1=\"%2\" name1=\"%3\"/>"
                                       "<r type1=\"%1\"/><r name1=\"%4\"/><r type1=\"%2\" type1=\"%1\"/>"
                                       "<r type1=\"%1\" name1=\"%3\"/></Data></x>")
                            .arg(b64("餐饮"), b64("交通"), b64("午饭"), b64("打车"));
    const Reply reply = ParseReply(xml);
    RecordRowReader reader;
    TItemInfo inTurn;
    TItemInfo alone;
    QStringList types;
    for (const pugi::xml_node &row : ReplyRows(reply)) {
        reader.Read(row, inTurn);
        ReadRecordRow(row, alone);
        QCOMPARE(inTurn.type1, alone.type1);
        QCOMPARE(inTurn.name1, alone.name1);
        types << inTurn.type1;
    }
    QCOMPARE(types, QStringList({"餐饮", "交通", "餐饮", "餐饮", "交通", "餐饮"}));
}

void TestReply::recordRowInAnyOrder()
{
    // Attributes in an unusual order, one of them twice: the first of the two counts.
    const QString xml = QStringLiteral("<x><Data><r is_lock=\"%1\" money1=\"%2\" x=\"%3\" name1=\"%3\" id_guid=\"%4\" "
                                       "name1=\"%5\" in1=\"%1\"/></Data></x>")
                            .arg(b64("1"), b64("8.5"), b64("早饭"), b64("{B}"), b64("second"));
    const Reply reply = ParseReply(xml);
    TItemInfo info;
    ReadRecordRow(ReplyRows(reply).first(), info);
    QCOMPARE(info.is_lock, QStringLiteral("1"));
    QCOMPARE(info.money1, QStringLiteral("8.5"));
    QCOMPARE(info.name1, QStringLiteral("早饭"));
    QCOMPARE(info.id_guid, QStringLiteral("{B}"));
    QCOMPARE(info.in1, QStringLiteral("1"));
    QVERIFY(info.id.isEmpty());
}

void TestReply::rowTextOfBadBase64()
{
    const Reply reply = ParseReply(QStringLiteral("<x><Data><r a=\"!!YWJj!!\" e=\"\"/></Data></x>"));
    const auto rows = ReplyRows(reply);
    bool present = false;
    QCOMPARE(RowText(rows.first(), "a", &present), QStringLiteral("abc")); // invalid characters are skipped
    QVERIFY(present);
    QCOMPARE(RowText(rows.first(), "e", &present), QString());
    QVERIFY(present);
    QCOMPARE(RowText(rows.first(), "missing", &present), QString());
    QVERIFY(!present);
}

void TestReply::pageInfo_data()
{
    QTest::addColumn<QString>("reply");
    QTest::addColumn<bool>("found");
    QTest::addColumn<bool>("throws");
    QTest::addColumn<QList<int>>("values");

    QTest::newRow("all three") << "<x><Info RecCount=\"123\" RecCountInPage=\"50\" CurPage=\"2\"/></x>" << true << false
                               << QList<int>{123, 50, 2};
    QTest::newRow("missing Info keeps values") << "<x><Data/></x>" << false << false << QList<int>{-1, -1, -1};
    QTest::newRow("only CurPage") << "<x><Info CurPage=\"3\"/></x>" << true << false << QList<int>{-1, -1, 3};
    QTest::newRow("not an integer") << "<x><Info RecCount=\"12a\"/></x>" << true << true << QList<int>{};
    QTest::newRow("decimal") << "<x><Info RecCount=\"1.5\"/></x>" << true << true << QList<int>{};
    QTest::newRow("empty") << "<x><Info CurPage=\"\"/></x>" << true << true << QList<int>{};
}

void TestReply::pageInfo()
{
    QFETCH(QString, reply);
    QFETCH(bool, found);
    QFETCH(bool, throws);
    QFETCH(QList<int>, values);

    PageInfo page{-1, -1, -1};
    const Reply r = ParseReply(reply);
    if (throws) {
        QVERIFY_THROWS_EXCEPTION(LumoraError, ReadPageInfo(r, page));
        return;
    }
    QCOMPARE(ReadPageInfo(r, page), found);
    QCOMPARE((QList<int>{page.RecCount, page.RecCountInPage, page.CurPage}), values);
}

void TestReply::monthTotalRow()
{
    const QString xml = QStringLiteral("<x><Data><r money1=\"%1\" money_in1=\"%2\" year1=\"%3\"/></Data></x>")
                            .arg(b64("100.00"), b64("20"), b64("2009"));
    const Reply reply = ParseReply(xml);
    const MonthTotalRow t = ReadMonthTotalRow(ReplyRows(reply).first());
    QCOMPARE(t.money1, QStringLiteral("100.00"));
    QCOMPARE(t.money_in1, QStringLiteral("20"));
    QCOMPARE(t.year1, QStringLiteral("2009"));
    QVERIFY(t.hasMoney1 && t.hasMoneyIn1 && t.hasYear1);
    QVERIFY(!t.hasMoneyYe1 && !t.hasMonth1);
    QVERIFY(t.month1.isEmpty());
}

void TestReply::notWellFormedThrows()
{
    try {
        ParseReply(QStringLiteral("<x><Data></x>"));
        QFAIL("no error");
    } catch (const LumoraError &e) {
        QVERIFY(!e.message().isEmpty());
        QCOMPARE(QString::fromStdString(e.what()), e.message());
    }
    QVERIFY_THROWS_EXCEPTION(LumoraError, ParseReply(QString()));
}

void TestReply::debugDump()
{
    WriteDebugDump(QStringLiteral("<x>\n<Data 名=\"1\"/>\r\n</x"));
    QCOMPARE(readFile("debug.xml"), ToGbk(QStringLiteral("<x>\r\n<Data 名=\"1\"/>\r\n</x\r\n")));
    WriteDebugDump(QStringLiteral("a\r\n"));
    QCOMPARE(readFile("debug.xml"), QByteArray("a\r\n"));
}

void TestReply::dataDumpHoldsTheLastDocument()
{
    Reply first = ParseReply(QStringLiteral("<x><Data><r n=\"一\"/></Data></x>"));
    Reply second = ParseReply(QStringLiteral("<x><Data><r n=\"二\"/></Data></x>"));
    WriteDataDump(first);
    SetAttribute(second.data.first_child(), "copy", "复制");
    WriteDataDump(second);

    const QString text = FromGbk(readFile("data.xml"));
    QVERIFY2(text.contains(QStringLiteral("n=\"二\"")), qPrintable(text));
    QVERIFY(text.contains(QStringLiteral("copy=\"复制\"")));
    QVERIFY(!text.contains(QStringLiteral("一")));
    QVERIFY(ParseReply(text).data);
}

void TestReply::dumpIntoMissingFolderIsSilent()
{
    SetExeFolder(dir->filePath(QStringLiteral("no/such/folder")));
    WriteDebugDump(QStringLiteral("x"));
    WriteDataDump(Reply());
    QVERIFY(!QFile::exists(ExeFolder() + QStringLiteral("debug.xml")));
}

void TestReply::savedDocument_data()
{
    QTest::addColumn<QString>("reply");
    QTest::addColumn<QString>("saved");

    QTest::newRow("declaration and rows")
        << "<?xml version=\"1.0\" encoding=\"GBK\"?>\r\n<root>\r\n<Result Value=\"1\"/>"
           "<Data><Row b=\"2\" a=\"1\"/><Row/></Data></root> "
        << "<?xml version=\"1.0\" encoding=\"GBK\"?>\r\n<root>\r\n<Result Value=\"1\"/>"
           "<Data><Row b=\"2\" a=\"1\"/><Row/></Data></root>\r\n";
    QTest::newRow("attribute escapes") << "<x a=\"&amp;&lt;&gt;&quot;'&#9;&#10;&#13;\"/>"
                                       << "<x a=\"&amp;&lt;>&quot;'&#09;&#10;&#13;\"/>\r\n";
    QTest::newRow("line breaks in attributes are blanks") << "<x a=\"1\r\n2\n3\t4\"/>"
                                                          << "<x a=\"1 2 3 4\"/>\r\n";
    QTest::newRow("text escapes") << "<x>a&amp;b &lt; \"q\" ]]&gt; &#13;</x>"
                                  << "<x>a&amp;b &lt; \"q\" ]]&gt; \r</x>\r\n";
    QTest::newRow("mixed content") << "<x>t<a/>u<![CDATA[<c>]]><?p d?><!--m--><b>\n <c/>\r\n</b></x>"
                                   << "<x>t<a/>u<![CDATA[<c>]]><?p d?><!--m--><b>\n <c/>\r\n</b></x>\r\n";
    QTest::newRow("spacing text is kept") << "<x><y>  </y><z> a </z><w>&#32;&#10;</w></x>"
                                          << "<x><y>  </y><z> a </z><w> \n</w></x>\r\n";
    QTest::newRow("document type kept, its entities not expanded") << "<!DOCTYPE x [<!ENTITY e \"ee\">]><x>&e;</x>"
                                                                   << "<!DOCTYPE x [<!ENTITY e \"ee\">]>\r\n"
                                                                      "<x>&amp;e;</x>\r\n";
    QTest::newRow("instruction before text") << "<x><?p?>t</x>"
                                             << "<x><?p?>t</x>\r\n";
    QTest::newRow("characters XML does not allow") << "<x a=\"&#1;\">&#2;</x>"
                                                   << "<x a=\"&#01;\">&#02;</x>\r\n";
    QTest::newRow("comments beside the root") << "<!--a--><x/>\n<!--b-->"
                                              << "<!--a-->\r\n<x/>\r\n<!--b-->\r\n";
}

void TestReply::savedDocument()
{
    QFETCH(QString, reply);
    QFETCH(QString, saved);
    const QString text = QString::fromStdString(SaveXml(*ParseReply(reply).doc));
    QCOMPARE(text, saved);
    // What was saved reads back to the same document.
    QCOMPARE(QString::fromStdString(SaveXml(*ParseReply(text).doc)), saved);
}

void TestReply::deepNestingSavesWithoutRecursion()
{
    constexpr int depth = 200000;
    const QString reply = QStringLiteral("<a>").repeated(depth) + QStringLiteral("</a>").repeated(depth);
    const QString saved = QString::fromStdString(SaveXml(*ParseReply(reply).doc));
    // Saved unindented, so the text stays proportional to the reply.
    QVERIFY(saved.size() < reply.size() * 40);
    QVERIFY(saved.startsWith(QStringLiteral("<a><a><a>")));
    QCOMPARE(saved.count(QStringLiteral("</a>")), depth - 1);
}

QTEST_GUILESS_MAIN(TestReply)
#include "tst_reply.moc"
