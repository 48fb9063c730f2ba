#pragma once
// The flat speed button: a windowless push button that shows an image. It goes down when the
// left button is pressed on it, looks down only while the pointer stays over it, and clicks
// when the left button is released over it.
#include "toolkit/Bitmap.h"
#include "toolkit/Controls.h"

// The looks of a button, in the order of the images side by side in its glyph.
enum TButtonState { bsUp, bsDisabled, bsDown, bsExclusive };

class TSpeedButton : public TGraphicControl {
public:
    explicit TSpeedButton(TComponent* AOwner);

    // The image; the colour of its bottom-left pixel is transparent. Call Invalidate after
    // changing it in place.
    TBitmap& Glyph() { return FGlyph; }
    const TBitmap& Glyph() const { return FGlyph; }
    // Copies value (nullptr clears) and repaints.
    void SetGlyph(const TBitmap* value);
    // 1 to 4 images of equal width side by side: up, disabled, down, exclusive.
    int NumGlyphs() const { return FNumGlyphs; }
    void SetNumGlyphs(int value);

    // The left button went down on this button and is still held.
    bool IsTracking() const { return FTracking; }
    // How the button looks now.
    TButtonState State() const;
    // In its pressed state: tracking with the pointer over it.
    bool IsPressed() const { return FTracking && FPointerOver; }

    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    // The press ends without a click: drawn up again.
    void MouseCaptureLost() override;
    long AccessibleRole() const override;

protected:
    void Paint() override;
    void EnabledChanged() override;

private:
    bool Contains(int x, int y) const;
    void DrawGlyph(HDC dc, int x, int y, TButtonState state) const;

    TBitmap FGlyph;
    int FNumGlyphs = 1;
    bool FTracking = false;
    bool FPointerOver = false;
};
