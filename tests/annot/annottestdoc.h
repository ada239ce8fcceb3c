#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

#include "support/packagebuilder.h"

// Builds one-document packages for the annotation and writer tests: page contents (the children of
// each page's single layer; pages 100 × 100 mm with IDs 101, 102, ...), the children of the public
// and document resource files (data files under Doc_0/Res), extra children of Document.xml and of
// the DocBody, and any further files (package paths).
struct AnnotTestDoc
{
    QStringList pageLayers;
    QString publicRes;
    QString documentRes;
    QString documentExtra;
    QString bodyExtra;
    QList<QPair<QString, QByteArray>> files;

    static QString Ns() { return QStringLiteral("xmlns:ofd=\"http://www.ofdspec.org/2016\""); }

    QByteArray Build() const
    {
        PackageBuilder builder;
        builder.AddText(
            QStringLiteral("OFD.xml"),
            QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<ofd:OFD %1 Version=\"1.0\" "
                           "DocType=\"OFD\"><ofd:DocBody><ofd:DocInfo><ofd:DocID>t</ofd:DocID>"
                           "</ofd:DocInfo><ofd:DocRoot>Doc_0/Document.xml</ofd:DocRoot>%2"
                           "</ofd:DocBody></ofd:OFD>")
                .arg(Ns(), bodyExtra));
        QString pages;
        for (int i = 0; i < pageLayers.size(); ++i)
            pages += QStringLiteral("<ofd:Page ID=\"%1\" BaseLoc=\"Pages/Page_%2/Content.xml\"/>")
                         .arg(101 + i)
                         .arg(i);
        builder.AddText(
            QStringLiteral("Doc_0/Document.xml"),
            QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<ofd:Document %1><ofd:CommonData>"
                           "<ofd:MaxUnitID>999</ofd:MaxUnitID><ofd:PageArea><ofd:PhysicalBox>0 0 100 100"
                           "</ofd:PhysicalBox></ofd:PageArea><ofd:PublicRes>PublicRes.xml</ofd:PublicRes>"
                           "<ofd:DocumentRes>DocumentRes.xml</ofd:DocumentRes></ofd:CommonData>"
                           "<ofd:Pages>%2</ofd:Pages>%3</ofd:Document>")
                .arg(Ns(), pages, documentExtra));
        builder.AddText(
            QStringLiteral("Doc_0/PublicRes.xml"),
            QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<ofd:Res %1 BaseLoc=\"Res\">%2"
                           "</ofd:Res>")
                .arg(Ns(), publicRes));
        builder.AddText(
            QStringLiteral("Doc_0/DocumentRes.xml"),
            QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<ofd:Res %1 BaseLoc=\"Res\">%2"
                           "</ofd:Res>")
                .arg(Ns(), documentRes));
        for (int i = 0; i < pageLayers.size(); ++i) {
            builder.AddText(
                QStringLiteral("Doc_0/Pages/Page_%1/Content.xml").arg(i),
                QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<ofd:Page %1><ofd:Content>"
                               "<ofd:Layer ID=\"%2\">%3</ofd:Layer></ofd:Content></ofd:Page>")
                    .arg(Ns())
                    .arg(500 + i)
                    .arg(pageLayers[i]));
        }
        for (const auto &file : files)
            builder.Add(file.first, file.second);
        return builder.Build();
    }
};
