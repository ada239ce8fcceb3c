#pragma once

#include "sign/ans1bernodereader.h"

// Owns the decoded tree of one DER input and answers path look-ups on it.
class Ans1Reader
{
public:
    Ans1Reader() = default;
    ~Ans1Reader();

    // Decodes data into a new tree, replacing any earlier one; always true, faults are read with IsDataOK.
    bool OpenData(const QByteArray &data);
    // A tree exists and none of its nodes has an error.
    bool IsDataOK() const;
    // The node with that identifier ("0.0*1.2"), or null.
    Ans1BerNodeReader *GetNode(const QString &id) const;
    Ans1BerNodeReader *GetRootNode() const { return m_root; }

private:
    Q_DISABLE_COPY(Ans1Reader)

    Ans1BerNodeReader *m_root = nullptr;
};
