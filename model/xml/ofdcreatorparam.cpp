#include "model/xml/ofdcreatorparam.h"

const QString OfdCreatorParam::xml_file_start =
    QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n");
const QString OfdCreatorParam::xml_encoding = QStringLiteral("UTF-8");
const QString OfdCreatorParam::OFD_NameSpace = QStringLiteral("ofd");
const QString OfdCreatorParam::OFD_NameSpaceUrl = QStringLiteral("http://www.ofdspec.org/2016");
const QString OfdCreatorParam::OFD_Name = QStringLiteral("OFD");
const QString OfdCreatorParam::OFD_FileNameRoot = QStringLiteral("OFD.xml");
const QString OfdCreatorParam::OFD_FileNameDocument = QStringLiteral("Document.xml");
const QString OfdCreatorParam::OFD_FileNamePublicRes = QStringLiteral("PublicRes.xml");
const QString OfdCreatorParam::OFD_FileNameDocumentRes = QStringLiteral("DocumentRes.xml");
const QString OfdCreatorParam::OFD_FileSlash = QStringLiteral("/");
