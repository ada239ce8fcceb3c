#pragma once

class QPainter;

// What an annotation item draws from: its visual layer, how it prepares the painter, whether it is
// shown. Page objects have none.
class OfdVisualSource
{
public:
    virtual ~OfdVisualSource();
    virtual int GetType() const { return 0; }
    // Visual layer of the item (see EN_VisualItemLayer).
    virtual int GetVisualLayer() const { return 3; }
    virtual void InitPainter(QPainter *) {}
    virtual bool IsVisible() const { return true; }
    // Highlights are painted in multiply mode so the text stays readable.
    virtual bool IsHighlight() const { return false; }
};
