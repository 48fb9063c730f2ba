#pragma once
// A windowed container under an etched frame titled with its caption.
#include "toolkit/Controls.h"

// Disabled, it blocks the input of everything inside without greying it: the children keep
// their own Enabled and their look, but none of them can take the focus.
class TGroupBox : public TCustomControl {
public:
    explicit TGroupBox(TComponent* AOwner);

    void SetEnabled(bool value) override;
    long AccessibleRole() const override;

protected:
    void CreateParams(TCreateParams& params) override;
    void Paint() override;
};
