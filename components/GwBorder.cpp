#include "components/GwBorder.h"

TGwBorder::TGwBorder(TComponent* AOwner) : TGraphicControl(AOwner) {
    SetBounds(Left(), Top(), 50, 50);
}

void TGwBorder::SetShape(TGwBorderShape value) {
    if (value != FShape) {
        FShape = value;
        Invalidate();
    }
}

void TGwBorder::SetStyle(TGwBorderStyle value) {
    if (value != FStyle) {
        FStyle = value;
        Invalidate();
    }
}

void TGwBorder::SetShadowColor(TColor value) {
    if (value != FShadowColor) {
        FShadowColor = value;
        Invalidate();
    }
}

void TGwBorder::SetHighlightColor(TColor value) {
    if (value != FHighlightColor) {
        FHighlightColor = value;
        Invalidate();
    }
}

// The end point is left unpainted, as GDI does.
void TGwBorder::Line(TColor c, int x1, int y1, int x2, int y2) {
    Canvas()->Pen.Color = c;
    Canvas()->MoveTo(x1, y1);
    Canvas()->LineTo(x2, y2);
}

// c1 takes the left and top edges, c2 the right and bottom ones; each polyline leaves its
// final point unpainted.
void TGwBorder::Frame(int left, int top, int right, int bottom, TColor c1, TColor c2) {
    Canvas()->Pen.Color = c1;
    Canvas()->Polyline({{left, bottom}, {left, top}, {right, top}});
    Canvas()->Pen.Color = c2;
    Canvas()->Polyline({{right, top}, {right, bottom}, {left, bottom}});
}

void TGwBorder::Paint() {
    TCanvas& canvas = *Canvas();
    if (IsDesigning()) {
        canvas.Pen.Style = psSolid;
        canvas.Pen.Mode = pmCopy;
        canvas.Pen.Color = clBlack;
        canvas.Brush.Style = bsSolid;
    }
    canvas.Pen.Width = 1;
    const bool lowered = FStyle == bsLowered;
    const TColor a = lowered ? FShadowColor : FHighlightColor;
    const TColor b = lowered ? FHighlightColor : FShadowColor;
    const int w = Width();
    const int h = Height();
    switch (FShape) {
    case bsBox:
        Frame(0, 0, w - 1, h - 1, a, b);
        break;
    case bsFrame:
        Frame(1, 1, w - 1, h - 1, b, b);
        Frame(0, 0, w - 2, h - 2, a, a);
        break;
    case bsTopLine:
        Line(a, 0, 0, w, 0);
        Line(b, 0, 1, w, 1);
        break;
    case bsBottomLine:
        Line(a, 0, h - 2, w, h - 2);
        Line(b, 0, h - 1, w, h - 1);
        break;
    case bsLeftLine:
        Line(a, 0, 0, 0, h);
        Line(b, 1, 0, 1, h);
        break;
    case bsRightLine:
        Line(a, w - 2, 0, w - 2, h);
        Line(b, w - 1, 0, w - 1, h);
        break;
    default:
        // Not a shape: nothing to draw.
        break;
    }
}
