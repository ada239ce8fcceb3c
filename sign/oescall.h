#pragma once

#include "sign/oesapi.h"

#include <QByteArray>
#include <QString>

// The two-call form of the OES output buffers, shared by the provider helpers.
namespace OesCall {

// False for a length that no buffer may have (below 0 or beyond OES_MAX_BUFFER).
inline bool IsValidLength(int length)
{
    return length >= 0 && length <= OES_MAX_BUFFER;
}

// call(buffer, &length) is made twice: with a null buffer and length 0, then, when that returned 0, with
// length + extra zeroed bytes. On code 0 out becomes the first length bytes of the buffer. A non-zero code
// ends the form and is returned.
template <typename Call>
int TwoCall(Call call, int extra, QByteArray &out)
{
    int length = 0;
    int code = call(nullptr, &length);
    if (code != 0)
        return code;
    if (!IsValidLength(length))
        return OES_BAD_LENGTH;
    QByteArray buffer(length + extra, '\0');
    code = call(reinterpret_cast<unsigned char *>(buffer.data()), &length);
    if (code != 0)
        return code;
    if (!IsValidLength(length))
        return OES_BAD_LENGTH;
    out = buffer.left(qMin(length, buffer.size()));
    return 0;
}

// UTF-8 text of the bytes up to the first zero byte.
inline QString TextOf(const QByteArray &bytes)
{
    const int zero = bytes.indexOf('\0');
    return QString::fromUtf8(zero < 0 ? bytes : bytes.left(zero));
}

// The provider-information form: call(name, &nameLength, company, &companyLength, version, &versionLength,
// extend, &extendLength) with four null buffers and zero lengths, then with four zeroed buffers of
// length + 1 bytes each; on code 0 the four texts are set (UTF-8 up to the first zero byte).
template <typename Call>
int FourTexts(Call call, QString &name, QString &company, QString &version, QString &extend)
{
    int lengths[4] = {0, 0, 0, 0};
    int code = call(nullptr, &lengths[0], nullptr, &lengths[1], nullptr, &lengths[2], nullptr, &lengths[3]);
    if (code != 0)
        return code;
    QByteArray buffers[4];
    for (int i = 0; i < 4; ++i) {
        if (!IsValidLength(lengths[i]))
            return OES_BAD_LENGTH;
        buffers[i] = QByteArray(lengths[i] + 1, '\0');
    }
    auto bytes = [&buffers](int i) { return reinterpret_cast<unsigned char *>(buffers[i].data()); };
    code = call(bytes(0), &lengths[0], bytes(1), &lengths[1], bytes(2), &lengths[2], bytes(3), &lengths[3]);
    if (code != 0)
        return code;
    QString *texts[4] = {&name, &company, &version, &extend};
    for (int i = 0; i < 4; ++i) {
        if (!IsValidLength(lengths[i]))
            return OES_BAD_LENGTH;
    }
    for (int i = 0; i < 4; ++i)
        *texts[i] = TextOf(buffers[i].left(lengths[i]));
    return 0;
}

} // namespace OesCall
