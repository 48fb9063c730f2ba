#pragma once
// The system's check box, with its text on either side of the box.
#include "toolkit/Controls.h"
#include "toolkit/Label.h"

class TCheckBox : public TWinControl {
public:
    explicit TCheckBox(TComponent* AOwner);

    bool Checked() const;
    // A change fires OnClick, as a click by the user does (not while the description loads).
    void SetChecked(bool value);
    // taLeftJustify puts the text left of the box; anything else, right of it.
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment value);

    // The button reports its clicks itself; a press only fires OnMouseDown.
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;
    bool CommandNotify(WORD code) override;

private:
    DWORD AlignmentStyle() const { return FAlignment == taLeftJustify ? BS_LEFTTEXT : 0; }

    bool FChecked = false;
    TAlignment FAlignment = taRightJustify;
};
