#pragma once

#include <QPointF>

class OfdDocumentAccess;

// What a colour or clip needs from the page object that owns it: the document, the key of the page
// whose resources apply, and where the object sits on the page. Page objects implement it.
class OfdItemContext
{
public:
    virtual ~OfdItemContext();
    // The document, or null for an object not bound to one (not owned).
    virtual OfdDocumentAccess *GetOfdFile() const = 0;
    // Key of the page whose resource files apply; 0 for none.
    virtual int GetPageRefId() const = 0;
    // Top-left corner of the object's boundary on the page, millimetres.
    virtual QPointF GetBoundaryOrigin() const = 0;
};
