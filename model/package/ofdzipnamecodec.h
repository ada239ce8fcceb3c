#pragma once

#include <QMutex>
#include <QSet>
#include <QString>
#include <QTextCodec>

// Decodes ZIP entry names as producers write them: UTF-8 when the bytes are valid UTF-8 (with or
// without the archive's UTF-8 flag), otherwise GB18030, the superset of the GBK that Chinese
// Windows tools write without saying so. Encodes as UTF-8, except the names it read as GB18030:
// those go back in their own bytes, so that a package written again keeps its names. One instance
// lives for the process; the toolkit keeps codecs until it exits.
class OfdZipNameCodec : public QTextCodec
{
public:
    static OfdZipNameCodec *Instance();

    QByteArray name() const override;
    int mibEnum() const override;

protected:
    QString convertToUnicode(const char *in, int length, ConverterState *state) const override;
    QByteArray convertFromUnicode(const QChar *in, int length, ConverterState *state) const override;

private:
    OfdZipNameCodec() = default;

    mutable QMutex m_mutex;
    mutable QSet<QString> m_legacyNames; // names read as GB18030
};
