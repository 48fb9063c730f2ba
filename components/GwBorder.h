#pragma once
// A windowless two-colour bevel: an etched frame, a box or a double line along one edge.
#include <cstdint>

#include "toolkit/Controls.h"

enum TGwBorderStyle : std::uint8_t { bsLowered = 0, bsRaised = 1 };
enum TGwBorderShape : std::uint8_t {
    bsBox = 0,
    bsFrame = 1,
    bsTopLine = 2,
    bsBottomLine = 3,
    bsLeftLine = 4,
    bsRightLine = 5,
};

// Paints no background: whatever lies beneath shows through inside and around its lines.
// Like every windowless control it can be replicated onto another surface through PaintTo.
class TGwBorder : public TGraphicControl {
public:
    explicit TGwBorder(TComponent* AOwner);

    TGwBorderShape Shape() const { return FShape; }
    void SetShape(TGwBorderShape value);
    TGwBorderStyle Style() const { return FStyle; }
    void SetStyle(TGwBorderStyle value);
    TColor ShadowColor() const { return FShadowColor; }
    void SetShadowColor(TColor value);
    TColor HighlightColor() const { return FHighlightColor; }
    void SetHighlightColor(TColor value);

protected:
    void Paint() override;

private:
    void Line(TColor c, int x1, int y1, int x2, int y2);
    void Frame(int left, int top, int right, int bottom, TColor c1, TColor c2);

    TGwBorderStyle FStyle = bsLowered;
    TGwBorderShape FShape = bsFrame;
    TColor FShadowColor = 0x0000FFFF;
    TColor FHighlightColor = 0x000000FF;
};
