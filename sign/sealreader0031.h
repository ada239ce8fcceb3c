#pragma once

#include "sign/ans1reader.h"

#include <QByteArray>
#include <QString>

// Light reader of the picture of a seal (either standard), for seals handed over by a seal provider.
// Owns its decoded tree.
class SealReader_0031
{
public:
    SealReader_0031();

    // Decodes the seal; true when the tree has no error.
    bool ParseData(const QByteArray &data);
    // Content bytes of the node; empty when the seal is not decoded or the node is absent.
    QByteArray GetNodeValue(const QString &id) const;

    QByteArray GetImageData() const;
    // The picture type as text, up to the first zero byte.
    QString GetImageType() const;
    int GetImageWidth() const;
    int GetImageHeight() const;

private:
    Q_DISABLE_COPY(SealReader_0031)

    Ans1Reader m_reader;
    bool m_ok = false;
    const QString m_typeId;
    const QString m_dataId;
    const QString m_widthId;
    const QString m_heightId;
};

// Big-endian two's-complement number of INTEGER content bytes. Sign-repeating leading octets are skipped;
// empty content, or more than four significant bytes, gives 0.
int GetIntFromAsn(const QByteArray &content);
