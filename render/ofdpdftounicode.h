#pragma once

#include <QByteArray>
#include <QIODevice>
#include <QString>

// Mends the text of PDF files the toolkit writes. Its writer maps each glyph back to the lowest
// code point that the font's cmap sends to it, and CJK fonts draw a Kangxi radical and the
// ideograph it stands for with one glyph: "文" came out of the PDF as U+2F42 "⽂", so the text
// could be seen but not searched or copied. The mapping is turned back to the ideograph, byte for
// byte in place, so no offset of the file moves.
namespace OfdPdfToUnicode {
// The ideograph a radical's glyph stands for; 0 when cp is not such a radical.
uint IdeographOf(uint cp);
// A ToUnicode CMap with its destination code points mended; the same length as the input.
QByteArray FixCMap(const QByteArray &cmap);
// Mends every ToUnicode CMap of the PDF file in place; false when it cannot be read or written.
bool FixFile(const QString &path);

// A device that passes the writer's output on to target and mends the CMaps on the way.
class Filter : public QIODevice
{
public:
    explicit Filter(QIODevice *target);
    bool isSequential() const override { return true; }

protected:
    qint64 readData(char *data, qint64 maxSize) override;
    qint64 writeData(const char *data, qint64 size) override;

private:
    QIODevice *m_target; // not owned
};
} // namespace OfdPdfToUnicode
