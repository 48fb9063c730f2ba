#include "toolkit/SpeedButton.h"

#include <oleacc.h>

#include <algorithm>

TSpeedButton::TSpeedButton(TComponent* AOwner) : TGraphicControl(AOwner) {
    SetColor(clBtnFace);
    SetOpaque(true);
    SetBounds(0, 0, 23, 22);
}

long TSpeedButton::AccessibleRole() const {
    return ROLE_SYSTEM_PUSHBUTTON;
}

void TSpeedButton::SetGlyph(const TBitmap* value) {
    FGlyph.Assign(value);
    Invalidate();
}

void TSpeedButton::SetNumGlyphs(int value) {
    value = std::clamp(value, 1, 4);
    if (value != FNumGlyphs) {
        FNumGlyphs = value;
        Invalidate();
    }
}

TButtonState TSpeedButton::State() const {
    if (!Enabled()) {
        return bsDisabled;
    }
    return IsPressed() ? bsDown : bsUp;
}

bool TSpeedButton::Contains(int x, int y) const {
    return x >= 0 && y >= 0 && x < Width() && y < Height();
}

void TSpeedButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    // The event comes first: its handler may move the focus before the button goes down.
    TControl::MouseDown(button, shift, x, y);
    if (button == mbLeft && Enabled()) {
        FTracking = true;
        FPointerOver = Contains(x, y);
        Repaint();
    }
}

void TSpeedButton::MouseMove(TShiftState shift, int x, int y) {
    if (FTracking) {
        bool over = Contains(x, y);
        if (over != FPointerOver) {
            FPointerOver = over;
            Repaint();
        }
    }
    TControl::MouseMove(shift, x, y);
}

void TSpeedButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    // Not the base handling: the click here belongs to the pressed state, not to any press.
    bool click = false;
    if (button == mbLeft && FTracking) {
        click = Enabled() && Contains(x, y);
        FTracking = false;
        FPointerOver = false;
        Repaint();
    }
    if (OnMouseUp) {
        OnMouseUp(this, button, shift, x, y);
    }
    if (click) {
        Click();
    }
}

void TSpeedButton::MouseCaptureLost() {
    TGraphicControl::MouseCaptureLost();
    if (FTracking) {
        FTracking = false;
        FPointerOver = false;
        Repaint();
    }
}

void TSpeedButton::EnabledChanged() {
    if (!Enabled()) {
        FTracking = false;
        FPointerOver = false;
    }
}

void TSpeedButton::Paint() {
    TCanvas* canvas = Canvas();
    HDC dc = canvas->Handle();
    RECT face{0, 0, Width(), Height()};
    canvas->Brush.Color = Color();
    canvas->FillRect(face);
    TButtonState state = State();
    if (state == bsDown) {
        canvas->Brush.Color = clBtnShadow;
        canvas->FrameRect(face);
    } else {
        DrawEdge(dc, &face, EDGE_RAISED, BF_RECT);
    }
    if (FGlyph.Empty()) {
        return;
    }
    int glyphWidth = FGlyph.Width() / FNumGlyphs;
    int x = (Width() - glyphWidth) / 2;
    int y = (Height() - FGlyph.Height()) / 2;
    if (state == bsDown) {
        ++x;
        ++y;
    }
    DrawGlyph(dc, x, y, state);
}

void TSpeedButton::DrawGlyph(HDC dc, int x, int y, TButtonState state) const {
    int width = FGlyph.Width() / FNumGlyphs;
    int height = FGlyph.Height();
    COLORREF transparent = FGlyph.PixelAt(0, height - 1);
    int index = static_cast<int>(state);
    if (index < FNumGlyphs) {
        RECT part{index * width, 0, (index + 1) * width, height};
        FGlyph.DrawTransparent(dc, x, y, part, transparent);
        return;
    }
    if (state != bsDisabled) {
        FGlyph.DrawTransparent(dc, x, y, RECT{0, 0, width, height}, transparent);
        return;
    }
    // No image of its own for the disabled look: the first one embossed, highlight under shadow.
    UniqueMemoryDc source(CreateCompatibleDC(dc));
    UniqueMemoryDc maskDc(CreateCompatibleDC(dc));
    UniqueBitmap mask(CreateBitmap(width, height, 1, 1, nullptr));
    if (!source || !maskDc || !mask) {
        return;
    }
    DcSelection glyph(source.get(), FGlyph.Handle());
    DcSelection maskSelected(maskDc.get(), mask.get());
    // Colour to monochrome: the transparent colour becomes 1, the image 0.
    SetBkColor(source.get(), transparent);
    BitBlt(maskDc.get(), 0, 0, width, height, source.get(), 0, 0, SRCCOPY);
    COLORREF oldText = SetTextColor(dc, RGB(0, 0, 0));
    COLORREF oldBack = SetBkColor(dc, RGB(255, 255, 255));
    const struct {
        int Offset;
        int Colour;
    } layers[] = {{1, COLOR_BTNHIGHLIGHT}, {0, COLOR_BTNSHADOW}};
    for (const auto& layer : layers) {
        UniqueBrush brush(CreateSolidBrush(GetSysColor(layer.Colour)));
        DcSelection selected(dc, brush.get());
        // Brush where the mask is 0, destination where it is 1.
        const DWORD paintWhereZero = 0x00B8074A;
        BitBlt(dc, x + layer.Offset, y + layer.Offset, width, height, maskDc.get(), 0, 0, paintWhereZero);
    }
    SetTextColor(dc, oldText);
    SetBkColor(dc, oldBack);
}
