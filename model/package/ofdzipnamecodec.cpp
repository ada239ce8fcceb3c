#include "model/package/ofdzipnamecodec.h"

#include <QDebug>

OfdZipNameCodec *OfdZipNameCodec::Instance()
{
    // Codecs register themselves and belong to the toolkit's codec list from then on.
    static OfdZipNameCodec *codec = new OfdZipNameCodec;
    return codec;
}

QByteArray OfdZipNameCodec::name() const
{
    return QByteArrayLiteral("OFD-ZIP-NAMES");
}

int OfdZipNameCodec::mibEnum() const
{
    return -4711; // private: no registered character set stands for this choice
}

QString OfdZipNameCodec::convertToUnicode(const char *in, int length, ConverterState *state) const
{
    Q_UNUSED(state);
    QTextCodec *utf8 = QTextCodec::codecForName("UTF-8");
    QTextCodec::ConverterState strict(QTextCodec::ConvertInvalidToNull);
    const QString text = utf8->toUnicode(in, length, &strict);
    if (strict.invalidChars == 0 && strict.remainingChars == 0)
        return text;
    QTextCodec *gb = QTextCodec::codecForName("GB18030");
    if (!gb)
        return text;
    QTextCodec::ConverterState legacy(QTextCodec::ConvertInvalidToNull);
    const QString decoded = gb->toUnicode(in, length, &legacy);
    if (legacy.invalidChars != 0)
        return text; // neither reads it cleanly: the UTF-8 reading with replacement characters
    qDebug().noquote() << "package entry name is not UTF-8; read as GB18030:" << decoded;
    QMutexLocker lock(&m_mutex);
    m_legacyNames.insert(decoded);
    return decoded;
}

QByteArray OfdZipNameCodec::convertFromUnicode(const QChar *in, int length, ConverterState *state) const
{
    Q_UNUSED(state);
    const QString text(in, length);
    {
        QMutexLocker lock(&m_mutex);
        if (!m_legacyNames.contains(text))
            return text.toUtf8();
    }
    QTextCodec *gb = QTextCodec::codecForName("GB18030");
    return gb ? gb->fromUnicode(text) : text.toUtf8();
}
