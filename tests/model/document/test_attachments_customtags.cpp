#include <QtTest>

#include "model/document/ofdxmlattachments.h"
#include "model/document/ofdxmlcustomtags.h"
#include "model/package/ofdfilereader.h"
#include "model/xml/xmlnode.h"
#include "packagebuilder.h"

// Reading the attachment list and the custom tags of a document.
class TestAttachmentsCustomTags : public QObject
{
    Q_OBJECT
private slots:
    void attachments();
    void attachmentsNotAList();
    void safeFileName_data();
    void safeFileName();
    void customTagsGroupedByPage();
    void customTagFileMissing();
};

void TestAttachmentsCustomTags::attachments()
{
    OfdXmlAttachments list;
    list.SetOfdFilePath(QStringLiteral("Doc_0/Attachs/Attachments.xml"));
    QVERIFY(list.Parse(
        QString::fromUtf8(
            "<ofd:Attachments xmlns:ofd='http://www.ofdspec.org/2016'>"
            "<ofd:Attachment ID='1' Name='发票明细' Format='xml' CreationDate='2024-05-06T07:08:09' "
            "Size='12.5' Visible='false' Usage='original'><ofd:FileLoc> detail.xml </ofd:FileLoc>"
            "</ofd:Attachment><ofd:Attachment ID='2' Name='b.pdf' CreationDate='2024-05-06'>"
            "<ofd:Unknown><ofd:FileLoc>wrong.xml</ofd:FileLoc></ofd:Unknown>"
            "<ofd:FileLoc>/Doc_0/Attachs/b.pdf</ofd:FileLoc></ofd:Attachment></ofd:Attachments>")
            .toUtf8()));
    QCOMPARE(list.GetCount(), 2);
    const OfdAttachmentInfo &a = list.GetAttachments()[0];
    QCOMPARE(a.name, QString::fromUtf8("发票明细"));
    QCOMPARE(a.format, QStringLiteral("xml"));
    QCOMPARE(a.creationDate, QDateTime(QDate(2024, 5, 6), QTime(7, 8, 9)));
    QCOMPARE(a.size, 12.5);
    QVERIFY(!a.visible);
    QCOMPARE(a.usage, QStringLiteral("original"));
    QCOMPARE(a.fileLoc, QStringLiteral("Doc_0/Attachs/detail.xml"));
    const OfdAttachmentInfo &b = list.GetAttachments()[1];
    QCOMPARE(b.creationDate.date(), QDate(2024, 5, 6));
    QVERIFY(b.visible);
    QCOMPARE(b.usage, QStringLiteral("none"));
    QCOMPARE(b.fileLoc, QStringLiteral("Doc_0/Attachs/b.pdf"));
}

void TestAttachmentsCustomTags::attachmentsNotAList()
{
    OfdXmlAttachments list;
    QVERIFY(!list.Parse("<ofd:Document/>"));
    QVERIFY(!list.Parse(QByteArray()));
    QCOMPARE(list.GetCount(), 0);
}

void TestAttachmentsCustomTags::safeFileName_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("format");
    QTest::addColumn<QString>("loc");
    QTest::addColumn<QString>("safe");
    QTest::newRow("plain") << "report.pdf"
                           << "pdf"
                           << ""
                           << "report.pdf";
    QTest::newRow("format added") << QString::fromUtf8("明细") << "xml"
                                  << "" << QString::fromUtf8("明细.xml");
    QTest::newRow("parent dirs") << "../../.bashrc"
                                 << ""
                                 << ""
                                 << "bashrc";
    QTest::newRow("absolute") << "/etc/passwd"
                              << ""
                              << ""
                              << "passwd";
    QTest::newRow("windows path") << "C:\\Users\\x\\a.txt"
                                  << ""
                                  << ""
                                  << "a.txt";
    QTest::newRow("reserved characters") << "a<b>:c|d?.txt"
                                         << ""
                                         << ""
                                         << "a_b__c_d_.txt";
    QTest::newRow("control characters") << QStringLiteral("a\nb.txt") << ""
                                        << ""
                                        << "a_b.txt";
    QTest::newRow("empty uses location") << ""
                                         << ""
                                         << "Doc_0/Attachs/data.bin"
                                         << "data.bin";
    QTest::newRow("nothing usable") << ".."
                                    << ""
                                    << ""
                                    << "attachment";
}

void TestAttachmentsCustomTags::safeFileName()
{
    QFETCH(QString, name);
    QFETCH(QString, format);
    QFETCH(QString, loc);
    OfdAttachmentInfo info;
    info.name = name;
    info.format = format;
    info.fileLoc = loc;
    QTEST(OfdXmlAttachments::SafeFileName(info), "safe");
}

void TestAttachmentsCustomTags::customTagsGroupedByPage()
{
    OfdFileReader package;
    QVERIFY(package.Open(
        PackageBuilder()
            .AddText(QStringLiteral("Doc_0/Tags/Tag_0.xml"),
                     QStringLiteral(
                         "<fp:Invoice xmlns:fp='urn:fp' xmlns:ofd='http://www.ofdspec.org/2016'>"
                         "<fp:InvoiceNo><ofd:ObjectRef PageRef='1'>17</ofd:ObjectRef></fp:InvoiceNo>"
                         "<fp:Buyer><fp:Name><ofd:ObjectRef PageRef='1'>21</ofd:ObjectRef>"
                         "<ofd:ObjectRef PageRef='2'>5</ofd:ObjectRef></fp:Name></fp:Buyer></fp:Invoice>"))
            .Build()));
    OfdXmlCustomTags tags;
    tags.SetOfdFilePath(QStringLiteral("Doc_0/Tags/CustomTags.xml"));
    QVERIFY(
        tags.Parse("<ofd:CustomTags><ofd:CustomTag NameSpace='urn:fp'><ofd:SchemaLoc>s.xsd</ofd:SchemaLoc>"
                   "<ofd:FileLoc>Tag_0.xml</ofd:FileLoc></ofd:CustomTag></ofd:CustomTags>",
                   &package));
    QCOMPARE(tags.GetCount(), 1);
    const OfdCustomTag *tag = tags.GetTag(0);
    QCOMPARE(tag->nameSpace, QStringLiteral("urn:fp"));
    QCOMPARE(tag->schemaLoc, QStringLiteral("Doc_0/Tags/s.xsd"));
    QVERIFY(tag->tree);
    QCOMPARE(tag->refs.size(), 3);
    QCOMPARE(tag->refs[1].tagName, QStringLiteral("Name"));
    QCOMPARE(tag->refs[1].tagPath, QStringLiteral("Invoice/Buyer/Name"));

    const QHash<int, QList<OfdCustomTagRef>> byPage = tags.ToHashGroupByPage();
    QCOMPARE(byPage.size(), 2);
    QCOMPARE(byPage.value(1).size(), 2);
    QCOMPARE(byPage.value(1)[0].objectId, 17);
    QCOMPARE(byPage.value(1)[0].tagName, QStringLiteral("InvoiceNo"));
    QCOMPARE(byPage.value(2)[0].objectId, 5);
    QVERIFY(!tags.GetTag(1));
}

void TestAttachmentsCustomTags::customTagFileMissing()
{
    OfdFileReader package;
    QVERIFY(package.Open(PackageBuilder().Add(QStringLiteral("x"), "x").Build()));
    OfdXmlCustomTags tags;
    tags.SetOfdFilePath(QStringLiteral("CustomTags.xml"));
    QVERIFY(tags.Parse("<ofd:CustomTags><ofd:CustomTag><ofd:FileLoc>none.xml</ofd:FileLoc></ofd:CustomTag>"
                       "</ofd:CustomTags>",
                       &package));
    QCOMPARE(tags.GetCount(), 1);
    QVERIFY(!tags.GetTag(0)->tree);
    QVERIFY(tags.ToHashGroupByPage().isEmpty());
}

QTEST_GUILESS_MAIN(TestAttachmentsCustomTags)
#include "test_attachments_customtags.moc"
