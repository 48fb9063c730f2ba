#pragma once
// A windowless picture: an icon drawn over what lies beneath, with a click event.
#include "toolkit/Controls.h"
#include "toolkit/Icon.h"

class TImage : public TGraphicControl {
public:
    explicit TImage(TComponent* AOwner);

    // Change it in place, then call PictureChanged (or let Loaded do it while the window
    // description is read).
    TIcon& Picture() { return FPicture; }
    const TIcon& Picture() const { return FPicture; }
    void SetPicture(const TIcon& value);
    // Repaints, and resizes to the picture when AutoSize is on.
    void PictureChanged();

    // On: the control takes the size of its picture, keeping its place.
    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool value);

    void Loaded() override;
    // A button when it answers clicks, a picture otherwise.
    long AccessibleRole() const override;

    // The picture from an icon resource, its image nearest to size pixels; scaling the control
    // loads it again nearest to the scaled size (until SetPicture gives another picture), so it
    // stays as crisp as the resource allows.
    void LoadPictureFromResource(HINSTANCE instance, int id, int size);
    void ChangeScale(int m, int d) override;

protected:
    void Paint() override;

private:
    SIZE PictureSize() const;
    void AdjustBounds();

    TIcon FPicture;
    bool FAutoSize = false;
    HINSTANCE FPictureInstance = nullptr;
    int FPictureId = 0;
    int FPictureSize = 0;
};
