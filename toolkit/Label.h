#pragma once
// A windowless line of text, sized to it or of a fixed size.
#include "toolkit/Controls.h"

// Which side text keeps to; the check box reads it as the side of its text.
enum TAlignment { taLeftJustify, taRightJustify, taCenter };

// One line drawn from the top edge, clipped to the rectangle, with no prefix characters.
class TLabel : public TGraphicControl {
public:
    explicit TLabel(TComponent* AOwner);

    // On: the label takes the width and height of its text in its font, keeping its place.
    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool value);
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment value);
    // Off (the default): the rectangle is filled with Color before the text is drawn.
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool value);

    void Loaded() override;
    long AccessibleRole() const override;

protected:
    void Paint() override;
    void TextChanged() override;
    void FontChanged() override;

private:
    // Sizes the label to its text when AutoSize is on; waits while the description loads.
    void AdjustBounds();

    bool FAutoSize = true;
    TAlignment FAlignment = taLeftJustify;
    bool FTransparent = false;
};
