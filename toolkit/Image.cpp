#include "toolkit/Image.h"

#include <oleacc.h>

TImage::TImage(TComponent* AOwner) : TGraphicControl(AOwner) {
    SetBounds(Left(), Top(), 105, 105);
}

void TImage::SetPicture(const TIcon& value) {
    FPicture.Assign(&value);
    // Scaling now keeps this picture rather than loading the resource's again.
    FPictureId = 0;
    PictureChanged();
}

void TImage::PictureChanged() {
    AdjustBounds();
    Invalidate();
}

void TImage::SetAutoSize(bool value) {
    if (value != FAutoSize) {
        FAutoSize = value;
        AdjustBounds();
    }
}

void TImage::Loaded() {
    TGraphicControl::Loaded();
    AdjustBounds();
}

void TImage::LoadPictureFromResource(HINSTANCE instance, int id, int size) {
    FPicture.LoadNearestFromResource(instance, MAKEINTRESOURCEA(id), size);
    FPictureInstance = instance;
    FPictureId = id;
    FPictureSize = size;
    PictureChanged();
}

void TImage::ChangeScale(int m, int d) {
    TGraphicControl::ChangeScale(m, d);
    if (FPictureId != 0) {
        LoadPictureFromResource(FPictureInstance, FPictureId, MulDiv(FPictureSize, m, d));
    }
}

SIZE TImage::PictureSize() const {
    return FPicture.Empty() ? SIZE{0, 0} : IconImageSize(FPicture.Handle());
}

void TImage::AdjustBounds() {
    if (!FAutoSize || IsLoading() || FPicture.Empty()) {
        return;
    }
    SIZE size = PictureSize();
    SetBounds(Left(), Top(), size.cx, size.cy);
}

long TImage::AccessibleRole() const {
    return OnClick ? ROLE_SYSTEM_PUSHBUTTON : ROLE_SYSTEM_GRAPHIC;
}

void TImage::Paint() {
    if (FPicture.Empty()) {
        return;
    }
    SIZE size = PictureSize();
    Canvas()->DrawIcon(0, 0, FPicture.Handle(), size.cx, size.cy);
}
