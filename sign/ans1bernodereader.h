#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// One node of a decoded DER tree: its identifier octet, where its content lies in the shared input,
// its place in the tree ("0.0*1.0*2.1" style identifiers) and its children.
class Ans1BerNodeReader
{
public:
    // A SEQUENCE or SET at this level is flagged instead of descended into: no node lies deeper.
    static const int kMaxLevel = 64;
    // Nodes of one tree at most; decoding stops with an error beyond, so that a small crafted input
    // (a few bytes per empty element) cannot take unbounded time and memory.
    static const int kMaxNodes = 200000;

    Ans1BerNodeReader();
    ~Ans1BerNodeReader();

    // Decodes data as the root "0.0" and builds the tree below it; true when no node has an error.
    bool ParseData(const QByteArray &data);

    // Depth-first search from this node, the node itself first, children in order; null when absent.
    Ans1BerNodeReader *GetNode(const QString &id);
    // The node's own error flag or that of any descendant.
    bool IsNodeError() const;
    bool HasOwnError() const { return m_error; }

    // Content bytes, and the complete encoding (header and content); both copied out of the input.
    QByteArray GetValuePart() const;
    QByteArray GetDataTotal() const;

    int GetTagNumber() const { return m_tagNumber; }
    int GetTagClass() const { return m_tagClass; }
    bool IsConstructed() const { return m_constructed; }
    int GetLevel() const { return m_level; }
    int GetIndex() const { return m_index; }
    QString GetNodeId() const { return m_nodeId; }
    int GetOffset() const { return m_offset; }
    int GetTotalLength() const { return m_totalLength; }
    int GetContentOffset() const { return m_contentOffset; }
    int GetContentLength() const { return m_contentLength; }
    Ans1BerNodeReader *GetParent() const { return m_parent; }
    const QList<Ans1BerNodeReader *> &GetChildren() const { return m_children; }

    // Nodes alive in the process, for diagnostics.
    static int GetLiveNodeCount();

private:
    Q_DISABLE_COPY(Ans1BerNodeReader)

    // Reads the header at offset; the node may not reach past end (the input's or the parent content's).
    void FillNode(int offset, int end);
    // Decodes the children of a SEQUENCE or SET.
    void ParseNode();
    // Marks the node faulty; it is then taken to run to end so that its siblings stop there.
    void SetError(int end);

    int m_tagNumber = 0;
    int m_tagClass = 0;
    bool m_constructed = false;
    int m_level = 0;
    int m_index = 0;
    QString m_nodeId;
    int m_offset = 0;
    int m_totalLength = 0;
    int m_contentOffset = 0;
    int m_contentLength = 0;
    QByteArray m_data;
    bool m_error = false;
    Ans1BerNodeReader *m_parent = nullptr;
    QList<Ans1BerNodeReader *> m_children;
    int m_nodeCount = 0; // on the root: nodes of the tree
};

// Big-endian unsigned number of count bytes from pos (only the last four count); 0 when count <= 0.
// Sets error, and gives 0, when the bytes are not all inside data.
int GetIntValue(const QByteArray &data, int pos, int count, bool &error);
