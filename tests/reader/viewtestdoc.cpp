#include "viewtestdoc.h"

#include "model/content/ofdconvert.h"
#include "model/package/ofdfilereader.h"
#include "packagebuilder.h"
#include "reader/formofd.h"

namespace {
const QString kNs = QStringLiteral("xmlns:ofd=\"http://www.ofdspec.org/2016\"");
}

QColor ViewTestDoc::SquareColor(int index)
{
    static const QColor colors[] = {QColor(255, 0, 0), QColor(0, 0, 255), QColor(0, 160, 0),
                                    QColor(255, 0, 255)};
    return colors[index % 4];
}

QByteArray ViewTestDoc::Build() const
{
    PackageBuilder b;
    b.AddText(
        QStringLiteral("OFD.xml"),
        QStringLiteral("<ofd:OFD %1 Version=\"1.0\" DocType=\"OFD\"><ofd:DocBody><ofd:DocInfo><ofd:DocID>"
                       "view</ofd:DocID></ofd:DocInfo><ofd:DocRoot>Doc_0/Document.xml</ofd:DocRoot>"
                       "</ofd:DocBody></ofd:OFD>")
            .arg(kNs));
    QString pages;
    for (int i = 0; i < pageCount; ++i)
        pages += QStringLiteral("<ofd:Page ID=\"%1\" BaseLoc=\"Pages/Page_%2/Content.xml\"/>")
                     .arg(PageId(i))
                     .arg(i);
    QString extra;
    if (!outlineXml.isEmpty())
        extra += QStringLiteral("<ofd:Outlines>%1</ofd:Outlines>").arg(outlineXml);
    if (!customTagXml.isEmpty())
        extra += QStringLiteral("<ofd:CustomTags>Tags/CustomTags.xml</ofd:CustomTags>");
    if (!attachmentXml.isEmpty())
        extra += QStringLiteral("<ofd:Attachments>Attachs/Attachments.xml</ofd:Attachments>");
    extra += documentExtra;
    b.AddText(QStringLiteral("Doc_0/Document.xml"),
              QStringLiteral("<ofd:Document %1><ofd:CommonData><ofd:MaxUnitID>999</ofd:MaxUnitID>"
                             "<ofd:PageArea><ofd:PhysicalBox>0 0 %2 %3</ofd:PhysicalBox></ofd:PageArea>"
                             "<ofd:PublicRes>PublicRes.xml</ofd:PublicRes></ofd:CommonData>"
                             "<ofd:Pages>%4</ofd:Pages>%5</ofd:Document>")
                  .arg(kNs)
                  .arg(widthMM)
                  .arg(heightMM)
                  .arg(pages, extra));
    b.AddText(
        QStringLiteral("Doc_0/PublicRes.xml"),
        QStringLiteral("<ofd:Res %1 BaseLoc=\"Res\"><ofd:Fonts><ofd:Font ID=\"3\" FontName=\"DejaVu Sans\" "
                       "FamilyName=\"DejaVu Sans\"/></ofd:Fonts></ofd:Res>")
            .arg(kNs));
    for (int i = 0; i < pageCount; ++i) {
        QString objects;
        const QString text = texts.value(i);
        if (!text.isEmpty()) {
            objects +=
                QStringLiteral("<ofd:TextObject ID=\"%1\" Boundary=\"10 10 80 8\" Font=\"3\" Size=\"5\">"
                               "<ofd:FillColor Value=\"0 0 0\"/><ofd:TextCode X=\"0\" Y=\"5\">%2"
                               "</ofd:TextCode></ofd:TextObject>")
                    .arg(TextId(i))
                    .arg(text.toHtmlEscaped());
        }
        const QColor c = SquareColor(i);
        objects += QStringLiteral(
                       "<ofd:PathObject ID=\"%1\" Boundary=\"%2 %3 20 20\" Fill=\"true\" Stroke=\"false\">"
                       "<ofd:FillColor Value=\"%4 %5 %6\"/><ofd:AbbreviatedData>M 0 0 L 20 0 L 20 20 "
                       "L 0 20 C</ofd:AbbreviatedData></ofd:PathObject>")
                       .arg(SquareId(i))
                       .arg(squareXMM)
                       .arg(squareYMM)
                       .arg(c.red())
                       .arg(c.green())
                       .arg(c.blue());
        QString area;
        if (pageAreas.contains(i))
            area = QStringLiteral("<ofd:Area><ofd:PhysicalBox>0 0 %1 %2</ofd:PhysicalBox></ofd:Area>")
                       .arg(pageAreas.value(i).width())
                       .arg(pageAreas.value(i).height());
        b.AddText(
            QStringLiteral("Doc_0/Pages/Page_%1/Content.xml").arg(i),
            QStringLiteral("<ofd:Page %1>%4<ofd:Content><ofd:Layer ID=\"%2\">%3</ofd:Layer></ofd:Content>"
                           "</ofd:Page>")
                .arg(kNs)
                .arg(100 + 10 * i)
                .arg(objects)
                .arg(area));
    }
    if (!customTagXml.isEmpty()) {
        b.AddText(
            QStringLiteral("Doc_0/Tags/CustomTags.xml"),
            QStringLiteral("<ofd:CustomTags %1><ofd:CustomTag NameSpace=\"urn:test\"><ofd:FileLoc>Tag_0.xml"
                           "</ofd:FileLoc></ofd:CustomTag></ofd:CustomTags>")
                .arg(kNs));
        b.AddText(QStringLiteral("Doc_0/Tags/Tag_0.xml"), customTagXml);
    }
    if (!attachmentXml.isEmpty()) {
        b.AddText(QStringLiteral("Doc_0/Attachs/Attachments.xml"),
                  QStringLiteral("<ofd:Attachments %1>%2</ofd:Attachments>").arg(kNs, attachmentXml));
    }
    for (const auto &file : extraFiles)
        b.Add(file.first, file.second);
    return b.Build();
}

QSharedPointer<OfdFileReader> ViewTestDoc::Open() const
{
    QSharedPointer<OfdFileReader> reader(new OfdFileReader());
    if (!reader->Open(Build()))
        return QSharedPointer<OfdFileReader>();
    return reader;
}

bool LoadView(FormOfd &form, const ViewTestDoc &doc)
{
    const QSharedPointer<OfdFileReader> reader = doc.Open();
    if (!reader || !form.SetOfdFileReader(reader))
        return false;
    form.ShowPages();
    return form.GetPageCount() == doc.pageCount;
}

double PxPerMM()
{
    return OfdConvert::PxOfOneMM;
}
