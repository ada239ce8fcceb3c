#include "packagebuilder.h"

#include <QBuffer>
#include <QFile>

#include <quazip/quazip.h>
#include <quazip/quazipfile.h>
#include <quazip/quazipnewinfo.h>

PackageBuilder &PackageBuilder::Add(const QString &path, const QByteArray &bytes, bool compress)
{
    m_entries.append(Entry{path, bytes, compress});
    return *this;
}

PackageBuilder &PackageBuilder::AddText(const QString &path, const QString &text, bool compress)
{
    return Add(path, text.toUtf8(), compress);
}

QByteArray PackageBuilder::Build() const
{
    QByteArray out;
    QBuffer buffer(&out);
    QuaZip zip(&buffer);
    zip.setFileNameCodec(m_nameCodec.constData());
    if (!zip.open(QuaZip::mdCreate))
        return QByteArray();
    for (const Entry &entry : m_entries) {
        QuaZipFile file(&zip);
        QuaZipNewInfo info(entry.path);
        const int method = entry.compress ? Z_DEFLATED : 0;
        const int level = entry.compress ? Z_DEFAULT_COMPRESSION : 0;
        if (!file.open(QIODevice::WriteOnly, info, nullptr, 0, method, level))
            return QByteArray();
        file.write(entry.bytes);
        file.close();
    }
    zip.close();
    return out;
}

bool PackageBuilder::WriteTo(const QString &fileName) const
{
    const QByteArray bytes = Build();
    QFile file(fileName);
    if (bytes.isEmpty() || !file.open(QIODevice::WriteOnly))
        return false;
    return file.write(bytes) == bytes.size();
}

PackageBuilder PackageBuilder::MinimalOfd(int pageCount)
{
    PackageBuilder builder;
    builder.AddText(
        QStringLiteral("OFD.xml"),
        QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                       "<ofd:OFD xmlns:ofd=\"http://www.ofdspec.org/2016\" Version=\"1.0\" DocType=\"OFD\">"
                       "<ofd:DocBody><ofd:DocInfo><ofd:DocID>test</ofd:DocID></ofd:DocInfo>"
                       "<ofd:DocRoot>Doc_0/Document.xml</ofd:DocRoot></ofd:DocBody></ofd:OFD>"));
    QString pages;
    for (int i = 0; i < pageCount; ++i)
        pages +=
            QStringLiteral("<ofd:Page ID=\"%1\" BaseLoc=\"Pages/Page_%2/Content.xml\"/>").arg(i + 2).arg(i);
    builder.AddText(
        QStringLiteral("Doc_0/Document.xml"),
        QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                       "<ofd:Document xmlns:ofd=\"http://www.ofdspec.org/2016\">"
                       "<ofd:CommonData><ofd:MaxUnitID>%1</ofd:MaxUnitID>"
                       "<ofd:PageArea><ofd:PhysicalBox>0 0 210 297</ofd:PhysicalBox></ofd:PageArea>"
                       "</ofd:CommonData><ofd:Pages>%2</ofd:Pages></ofd:Document>")
            .arg(pageCount + 10)
            .arg(pages));
    for (int i = 0; i < pageCount; ++i) {
        builder.AddText(QStringLiteral("Doc_0/Pages/Page_%1/Content.xml").arg(i),
                        QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                                       "<ofd:Page xmlns:ofd=\"http://www.ofdspec.org/2016\"><ofd:Content>"
                                       "<ofd:Layer ID=\"%1\"/></ofd:Content></ofd:Page>")
                            .arg(pageCount + 2 + i));
    }
    return builder;
}

QByteArray PatchFirstCentralUncompressedSize(QByteArray zip, quint32 size)
{
    const QByteArray signature("PK\x01\x02", 4);
    const int pos = zip.indexOf(signature);
    if (pos < 0 || pos + 28 > zip.size())
        return zip;
    // Central directory header: the uncompressed size is at offset 24.
    for (int i = 0; i < 4; ++i)
        zip[pos + 24 + i] = char((size >> (8 * i)) & 0xff);
    return zip;
}
