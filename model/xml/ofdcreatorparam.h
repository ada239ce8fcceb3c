#pragma once

#include <QString>

// Names and texts shared by everything that reads or writes package parts.
class OfdCreatorParam
{
public:
    static const QString xml_file_start; // XML declaration followed by CR LF
    static const QString xml_encoding;
    static const QString OFD_NameSpace;
    static const QString OFD_NameSpaceUrl;
    static const QString OFD_Name;
    static const QString OFD_FileNameRoot;
    static const QString OFD_FileNameDocument;
    static const QString OFD_FileNamePublicRes;
    static const QString OFD_FileNameDocumentRes;
    static const QString OFD_FileSlash;
};
