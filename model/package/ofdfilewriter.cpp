#include "model/package/ofdfilewriter.h"

#include <QDateTime>
#include <QDebug>

#include <quazip/quazip.h>
#include <quazip/quazipfile.h>
#include <quazip/quazipnewinfo.h>
#include <zlib.h>

OfdFileWriter::OfdFileWriter()
{
    m_zip = std::make_unique<QuaZip>(&m_buffer);
    m_zip->setUtf8Enabled(true);
    if (!m_zip->open(QuaZip::mdCreate))
        qDebug() << "OfdFileWriter: cannot create the archive" << m_zip->getZipError();
}

OfdFileWriter::~OfdFileWriter()
{
    if (m_zip && m_zip->isOpen())
        m_zip->close();
    m_zip.reset();
    qDeleteAll(m_files);
}

void OfdFileWriter::AddFile(OfdFileInfo *file)
{
    if (!file)
        return;
    if (file->path.startsWith(QLatin1Char('/')))
        file->path.remove(0, 1);
    m_files.append(file);
}

void OfdFileWriter::AddFile(QList<OfdFileInfo *> &files)
{
    for (OfdFileInfo *file : files)
        AddFile(file);
    files.clear();
}

bool OfdFileWriter::CompressFile(const OfdFileInfo &file)
{
    QuaZipFile entry(m_zip.get());
    QuaZipNewInfo info(file.path);
    info.dateTime = QDateTime::currentDateTime();
    if (!entry.open(QIODevice::WriteOnly, info, nullptr, 0, Z_DEFLATED, Z_DEFAULT_COMPRESSION, false,
                    -MAX_WBITS, 8, Z_DEFAULT_STRATEGY))
        return false;
    const bool written = entry.write(file.data) == file.data.size();
    entry.close();
    return written && entry.getZipError() == ZIP_OK;
}

QByteArray OfdFileWriter::GetZipData()
{
    if (m_packed || !m_zip || !m_zip->isOpen())
        return QByteArray();
    m_packed = true;
    for (const OfdFileInfo *file : qAsConst(m_files)) {
        if (!CompressFile(*file)) {
            qDebug() << "OfdFileWriter: cannot write entry" << file->path;
            m_zip->close();
            return QByteArray();
        }
    }
    m_zip->close();
    if (m_zip->getZipError() != ZIP_OK)
        return QByteArray();
    return m_buffer.data();
}
