#include "sign/ans1reader.h"
#include "sign/asn1object.h"
#include "sign/derencoder.h"

#include <QRandomGenerator>
#include <QtTest>

#include <memory>

namespace {

// A seal-like structure with nesting, long lengths, strings, times and a context-specific part.
QByteArray SampleStructure(int pictureSize = 70000)
{
    const QByteArray header =
        DerEncoder::Sequence({DerEncoder::IA5String(QStringLiteral("ES")), DerEncoder::Integer(4),
                              DerEncoder::IA5String(QStringLiteral("vendor"))});
    const QByteArray property = DerEncoder::Sequence(
        {DerEncoder::Integer(1), DerEncoder::Utf8String(QStringLiteral("测试印章")),
         DerEncoder::Sequence({DerEncoder::OctetString(QByteArray(300, '\x5A'))}),
         DerEncoder::UtcTime(QDateTime(QDate(2021, 5, 21), QTime(9, 31), Qt::UTC)),
         DerEncoder::GeneralizedTime(QDateTime(QDate(2031, 5, 21), QTime(9, 31), Qt::UTC))});
    const QByteArray picture =
        DerEncoder::Sequence({DerEncoder::IA5String(QStringLiteral("png")),
                              DerEncoder::OctetString(QByteArray(pictureSize, '\x11')),
                              DerEncoder::ContextExplicit(0, DerEncoder::Integer(40))});
    return DerEncoder::Sequence({DerEncoder::Sequence({header, property, picture}),
                                 DerEncoder::ObjectIdentifier(QStringLiteral("1.2.156.10197.1.501")),
                                 DerEncoder::BitString(QByteArray(64, '\x33'))});
}

// Checks that every node of the tree stays inside its input and its parent, and that every typed
// conversion can run on it; returns the number of nodes.
int WalkTree(Ans1BerNodeReader *node, const QByteArray &input)
{
    if (!node)
        return 0;
    const int end = node->GetContentOffset() + node->GetContentLength();
    if (node->GetOffset() < 0 || node->GetContentLength() < 0 || node->GetTotalLength() < 0 ||
        node->GetOffset() + node->GetTotalLength() > input.size() || end > input.size() ||
        node->GetContentOffset() < node->GetOffset())
        return -1000000;
    if (node->GetValuePart().size() != node->GetContentLength() ||
        node->GetDataTotal().size() != node->GetTotalLength())
        return -1000000;
    std::unique_ptr<Asn1Object> object(Asn1Object::CreateObject(node));
    if (object) {
        object->ToString();
        object->ToInt();
        object->ToByteArray();
        object->ToDateTime();
    }
    int count = 1;
    for (Ans1BerNodeReader *child : node->GetChildren()) {
        if (child->GetParent() != node || child->GetOffset() < node->GetContentOffset() ||
            child->GetOffset() + child->GetTotalLength() > end)
            return -1000000;
        count += WalkTree(child, input);
    }
    return count;
}

// depth nested SEQUENCEs (long-form lengths) around one INTEGER.
QByteArray Nested(int depth)
{
    QByteArray out;
    out.reserve(depth * 6 + 3);
    for (int i = 0; i < depth; ++i) {
        const quint32 length = quint32(6 * (depth - 1 - i) + 3);
        out.append('\x30').append('\x84');
        for (int shift = 24; shift >= 0; shift -= 8)
            out.append(char((length >> shift) & 0xFF));
    }
    return out + QByteArray::fromHex("020105");
}

} // namespace

class TestAns1Reader : public QObject
{
    Q_OBJECT

private slots:
    void sequenceWithOneInteger()
    {
        Ans1Reader reader;
        QVERIFY(reader.OpenData(QByteArray::fromHex("3003020105")));
        QVERIFY(reader.IsDataOK());
        Ans1BerNodeReader *root = reader.GetNode(QStringLiteral("0.0"));
        QVERIFY(root && root == reader.GetRootNode());
        QCOMPARE(root->GetTagNumber(), 16);
        QVERIFY(root->IsConstructed());
        QCOMPARE(root->GetChildren().size(), 1);
        Ans1BerNodeReader *child = reader.GetNode(QStringLiteral("0.0*1.0"));
        QVERIFY(child);
        QCOMPARE(child->GetTagNumber(), 2);
        QCOMPARE(child->GetLevel(), 1);
        QCOMPARE(child->GetValuePart(), QByteArray::fromHex("05"));
        std::unique_ptr<Asn1Object> value(Asn1Object::CreateObject(child));
        QVERIFY(value);
        QCOMPARE(value->ToInt(), 5);
    }

    void identifiersAndEncodings()
    {
        const QByteArray inner = DerEncoder::Sequence({DerEncoder::Integer(7), DerEncoder::Integer(8)});
        const QByteArray first = DerEncoder::Sequence({DerEncoder::Integer(6), inner});
        const QByteArray data = DerEncoder::Sequence({first, DerEncoder::Integer(9)});
        Ans1Reader reader;
        reader.OpenData(data);
        QVERIFY(reader.IsDataOK());
        QCOMPARE(reader.GetNode(QStringLiteral("0.0*1.0"))->GetDataTotal(), first);
        Ans1BerNodeReader *second = reader.GetNode(QStringLiteral("0.0*1.0*2.1"));
        QVERIFY(second);
        QCOMPARE(second->GetDataTotal(), inner);
        QCOMPARE(second->GetIndex(), 1);
        QCOMPARE(second->GetParent(), reader.GetNode(QStringLiteral("0.0*1.0")));
        QCOMPARE(reader.GetNode(QStringLiteral("0.0*1.0*2.1*3.1"))->GetValuePart(), QByteArray("\x08"));
        QCOMPARE(reader.GetNode(QStringLiteral("0.0*1.1"))->GetNodeId(), QStringLiteral("0.0*1.1"));
        QVERIFY(!reader.GetNode(QStringLiteral("0.0*1.2")));
        QVERIFY(!reader.GetNode(QStringLiteral("0.0*2.0")));
        // Search from an inner node finds only its own subtree.
        QVERIFY(!second->GetNode(QStringLiteral("0.0*1.1")));
        QVERIFY(second->GetNode(QStringLiteral("0.0*1.0*2.1*3.0")));
    }

    void lengthForms_data()
    {
        QTest::addColumn<QByteArray>("header");
        QTest::addColumn<int>("contentLength");
        QTest::newRow("short 127") << QByteArray::fromHex("047F") << 127;
        QTest::newRow("one byte 128") << QByteArray::fromHex("048180") << 128;
        QTest::newRow("two bytes") << QByteArray::fromHex("04820101") << 257;
        QTest::newRow("three bytes") << QByteArray::fromHex("0483010000") << 65536;
        QTest::newRow("four bytes") << QByteArray::fromHex("048400000005") << 5;
        QTest::newRow("indefinite") << QByteArray::fromHex("0480") << 0;
    }
    void lengthForms()
    {
        QFETCH(QByteArray, header);
        QFETCH(int, contentLength);
        const QByteArray content(contentLength, '\x42');
        Ans1Reader reader;
        reader.OpenData(header + content);
        QVERIFY(reader.IsDataOK());
        Ans1BerNodeReader *root = reader.GetRootNode();
        QCOMPARE(root->GetContentOffset(), header.size());
        QCOMPARE(root->GetValuePart(), content);
        QCOMPARE(root->GetTotalLength(), header.size() + contentLength);
    }

    void malformed_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<QString>("faultyNode");
        QTest::newRow("empty input") << QByteArray() << "0.0";
        QTest::newRow("identifier only") << QByteArray::fromHex("30") << "0.0";
        QTest::newRow("length octet 0x85") << QByteArray::fromHex("04850000000001") << "0.0";
        QTest::newRow("one past the end") << QByteArray::fromHex("3004020105") << "0.0";
        QTest::newRow("length bytes missing") << QByteArray::fromHex("0482") << "0.0";
        QTest::newRow("length bytes cut") << QByteArray::fromHex("048201") << "0.0";
        QTest::newRow("length 0xFFFFFFFF") << QByteArray::fromHex("0484FFFFFFFF00") << "0.0";
        QTest::newRow("length 0x7FFFFFFF") << QByteArray::fromHex("04847FFFFFFF00") << "0.0";
        QTest::newRow("child header cut") << QByteArray::fromHex("300102") << "0.0*1.0";
        QTest::newRow("child past parent") << QByteArray::fromHex("3003040500000000") << "0.0*1.0";
        QTest::newRow("second child 0x85") << QByteArray::fromHex("30050201050285") << "0.0*1.1";
        QTest::newRow("grandchild past parent") << QByteArray::fromHex("300430020405") << "0.0*1.0*2.0";
    }
    void malformed()
    {
        QFETCH(QByteArray, data);
        QFETCH(QString, faultyNode);
        Ans1Reader reader;
        QVERIFY(reader.OpenData(data));
        QVERIFY(!reader.IsDataOK());
        Ans1BerNodeReader *node = reader.GetNode(faultyNode);
        QVERIFY(node);
        QVERIFY(node->HasOwnError());
        QVERIFY(node->IsNodeError());
        // Ancestors carry no error of their own but report the one below them.
        for (Ans1BerNodeReader *up = node->GetParent(); up; up = up->GetParent()) {
            QVERIFY(!up->HasOwnError());
            QVERIFY(up->IsNodeError());
        }
        QVERIFY(WalkTree(reader.GetRootNode(), data) > 0);
    }

    void siblingBeforeErrorIsKept()
    {
        Ans1Reader reader;
        reader.OpenData(QByteArray::fromHex("30050201050285"));
        Ans1BerNodeReader *first = reader.GetNode(QStringLiteral("0.0*1.0"));
        QVERIFY(first && !first->HasOwnError());
        QCOMPARE(first->GetValuePart(), QByteArray("\x05"));
    }

    void contextConstructedIsLeaf()
    {
        Ans1Reader reader;
        reader.OpenData(QByteArray::fromHex("3005A003020107"));
        QVERIFY(reader.IsDataOK());
        Ans1BerNodeReader *tagged = reader.GetNode(QStringLiteral("0.0*1.0"));
        QVERIFY(tagged);
        QCOMPARE(tagged->GetTagClass(), 2);
        QVERIFY(tagged->IsConstructed());
        QVERIFY(tagged->GetChildren().isEmpty());
        QCOMPARE(tagged->GetValuePart(), QByteArray::fromHex("020107"));
    }

    // Tag numbers 16 and 17 are descended into whatever their class; trailing bytes after the root are
    // ignored.
    void descentByTagNumber_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<int>("children");
        QTest::newRow("set") << QByteArray::fromHex("3106020101020102") << 2;
        QTest::newRow("application 16") << QByteArray::fromHex("7003020105") << 1;
        QTest::newRow("octet string") << QByteArray::fromHex("0403020105") << 0;
        QTest::newRow("empty sequence") << QByteArray::fromHex("3000") << 0;
        QTest::newRow("trailing bytes") << QByteArray::fromHex("3003020105FFFF") << 1;
    }
    void descentByTagNumber()
    {
        QFETCH(QByteArray, data);
        QFETCH(int, children);
        Ans1Reader reader;
        reader.OpenData(data);
        QVERIFY(reader.IsDataOK());
        QCOMPARE(reader.GetRootNode()->GetChildren().size(), children);
    }

    void nestingLimit()
    {
        const int limit = Ans1BerNodeReader::kMaxLevel;
        Ans1Reader reader;
        reader.OpenData(Nested(limit));
        QVERIFY(reader.IsDataOK());
        QCOMPARE(WalkTree(reader.GetRootNode(), Nested(limit)), limit + 1);

        reader.OpenData(Nested(limit + 1));
        QVERIFY(!reader.IsDataOK());

        // Far deeper than any stack would take if it were followed.
        const QByteArray deep = Nested(300000);
        reader.OpenData(deep);
        QVERIFY(!reader.IsDataOK());
        QCOMPARE(WalkTree(reader.GetRootNode(), deep), limit + 1);
    }

    void liveNodeCount()
    {
        const int before = Ans1BerNodeReader::GetLiveNodeCount();
        {
            Ans1Reader reader;
            reader.OpenData(SampleStructure());
            const int nodes = WalkTree(reader.GetRootNode(), SampleStructure());
            QCOMPARE(Ans1BerNodeReader::GetLiveNodeCount(), before + nodes);
            reader.OpenData(QByteArray::fromHex("3003020105"));
            QCOMPARE(Ans1BerNodeReader::GetLiveNodeCount(), before + 2);
        }
        QCOMPARE(Ans1BerNodeReader::GetLiveNodeCount(), before);
    }

    void sampleStructure()
    {
        const QByteArray data = SampleStructure();
        Ans1Reader reader;
        reader.OpenData(data);
        QVERIFY(reader.IsDataOK());
        QCOMPARE(reader.GetRootNode()->GetDataTotal(), data);
        QCOMPARE(reader.GetNode(QStringLiteral("0.0*1.0*2.2*3.1"))->GetContentLength(), 70000);
        std::unique_ptr<Asn1Object> name(
            Asn1Object::CreateObject(reader.GetNode(QStringLiteral("0.0*1.0*2.1*3.1"))));
        QVERIFY(name);
        QCOMPARE(name->ToString(), QStringLiteral("测试印章"));
        std::unique_ptr<Asn1Object> oid(Asn1Object::CreateObject(reader.GetNode(QStringLiteral("0.0*1.1"))));
        QVERIFY(oid);
        QCOMPARE(oid->ToString(), QStringLiteral("1.2.156.10197.1.501"));
    }

    // Random bytes, every truncation and random corruption of a valid structure: no crash, every node in
    // bounds.
    void fuzz()
    {
        QRandomGenerator rng(690);
        const QByteArray valid = SampleStructure();
        Ans1Reader reader;
        for (int length = 0; length < valid.size(); length += (length < 2000 ? 1 : 997)) {
            const QByteArray cut = valid.left(length);
            reader.OpenData(cut);
            QVERIFY2(!reader.IsDataOK(), qPrintable(QString::number(length)));
            QVERIFY(WalkTree(reader.GetRootNode(), cut) > 0);
        }
        // Corruptions of a small complete structure, so that decoding reaches the inner levels.
        const QByteArray small = SampleStructure(40);
        QVERIFY(small.size() < 1000);
        int nodes = 0;
        for (int round = 0; round < 4000; ++round) {
            QByteArray data;
            if (round % 2 == 0) {
                data.resize(rng.bounded(64));
                for (char &c : data)
                    c = char(rng.bounded(256));
                if (!data.isEmpty() && round % 4 == 0)
                    data[0] = '\x30';
            } else {
                data = small;
                for (int flips = rng.bounded(1, 4); flips > 0; --flips)
                    data[rng.bounded(data.size())] = char(rng.bounded(256));
                if (round % 4 == 1)
                    data.truncate(rng.bounded(data.size() + 1));
            }
            reader.OpenData(data);
            const int count = WalkTree(reader.GetRootNode(), data);
            QVERIFY2(count > 0, data.toHex().constData());
            nodes += count;
            reader.GetNode(QStringLiteral("0.0*1.0*2.1*3.1"));
        }
        QVERIFY(nodes > 4000 * 3);
    }
};

QTEST_APPLESS_MAIN(TestAns1Reader)
#include "test_ans1reader.moc"
