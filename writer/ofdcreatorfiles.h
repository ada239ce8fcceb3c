#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include "writer/ofdcreatorpage.h"
#include "writer/ofdxmlfile.h"

// The entry file OFD.xml.
class OfdCreatorRoot : public OfdXmlFile
{
public:
    void FillHeader() override;
    int GetOfdFileType() const override;
};

// A document descriptor, Document.xml.
class OfdCreatorDocument : public OfdXmlFile
{
public:
    void FillHeader() override;
    int GetOfdFileType() const override;
};

// A resource file: the public one holds fonts and colour spaces, the document one multimedia.
// Registered entries are kept until the file is delivered, with the data files they reference
// ("Res/..." beside the resource file).
class OfdCreatorRes : public OfdXmlFile
{
public:
    explicit OfdCreatorRes(bool publicRes) : m_public(publicRes) {}
    void FillHeader() override;
    int GetOfdFileType() const override;
    QList<OfdFileInfo *> GetFileInfo() override;

    // Registration by the writer: id as given; data files are named from the id.
    void AddFont(int id, const OfdCreatorFontInfo &font);
    void AddColorSpace(int id, const QString &type);
    void AddMultiMedia(int id, const OfdCreatorMultiMediaInfo &media);
    int GetFontCount() const { return m_fonts.size(); }
    int GetMultiMediaCount() const { return m_media.size(); }

    static QString BaseLoc() { return QStringLiteral("Res"); }

private:
    bool m_public = true;
    QList<QPair<int, OfdCreatorFontInfo>> m_fonts;
    QList<QPair<int, QString>> m_colorSpaces;
    QList<QPair<int, OfdCreatorMultiMediaInfo>> m_media;
};

// The annotation list, Annotations.xml.
class OfdCreatorAnnotations : public OfdXmlFile
{
public:
    void FillHeader() override;
    int GetOfdFileType() const override;
};

// One page annotation file.
class OfdCreatorAnnotation : public OfdXmlFile
{
public:
    void FillHeader() override;
    int GetOfdFileType() const override;
};

// A file carried over from the opened package as bytes (attachments, custom tags).
class OfdCreatorCopy : public OfdXmlFile
{
public:
    OfdCreatorCopy(const QString &path, const QByteArray &data, int type);
    void FillHeader() override {}
    int GetOfdFileType() const override { return m_type; }
    QList<OfdFileInfo *> GetFileInfo() override;

private:
    QByteArray m_data;
    int m_type = 0;
};
