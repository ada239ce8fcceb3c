#include "model/package/ofdembedfilemanage.h"

#include <QDebug>
#include <QFontDatabase>

#include "model/package/ofdcontentsource.h"

OfdEmbedFileManage::~OfdEmbedFileManage()
{
    for (EmbedFontInfo *info : qAsConst(m_fonts)) {
        if (info->fontId != -1)
            QFontDatabase::removeApplicationFont(info->fontId);
        delete info;
    }
}

QString OfdEmbedFileManage::GetFontFromEmbedFile(const QString &path)
{
    const auto known = m_fonts.constFind(path);
    if (known != m_fonts.constEnd())
        return known.value()->family;

    auto *info = new EmbedFontInfo;
    m_fonts.insert(path, info);

    const QByteArray bytes = m_document ? m_document->GetOfdFileContent(path) : QByteArray();
    if (bytes.isEmpty())
        return QString();

    const int id = QFontDatabase::addApplicationFontFromData(bytes);
    if (id == -1) {
        qDebug() << "load font file fail:" << path;
        return QString();
    }
    info->fontId = id;
    info->family = QFontDatabase::applicationFontFamilies(id).value(0);
    return info->family;
}

const EmbedFontInfo *OfdEmbedFileManage::GetFontInfo(const QString &path) const
{
    return m_fonts.value(path, nullptr);
}
