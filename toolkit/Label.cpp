#include "toolkit/Label.h"

#include <oleacc.h>

namespace {
constexpr UINT kTextFormat = DT_SINGLELINE | DT_NOPREFIX | DT_TOP;

UINT AlignmentFormat(TAlignment alignment) {
    switch (alignment) {
    case taRightJustify:
        return DT_RIGHT;
    case taCenter:
        return DT_CENTER;
    case taLeftJustify:
        break;
    }
    return DT_LEFT;
}
} // namespace

TLabel::TLabel(TComponent* AOwner) : TGraphicControl(AOwner) {
    SetOpaque(true);
    SetBounds(Left(), Top(), 65, 17);
    AdjustBounds();
}

void TLabel::SetAutoSize(bool value) {
    if (value != FAutoSize) {
        FAutoSize = value;
        AdjustBounds();
    }
}

void TLabel::SetAlignment(TAlignment value) {
    if (value != FAlignment) {
        FAlignment = value;
        Invalidate();
    }
}

void TLabel::SetTransparent(bool value) {
    if (value != FTransparent) {
        FTransparent = value;
        SetOpaque(!value);
        Invalidate();
    }
}

void TLabel::Loaded() {
    TGraphicControl::Loaded();
    AdjustBounds();
}

void TLabel::TextChanged() {
    TGraphicControl::TextChanged();
    AdjustBounds();
}

void TLabel::FontChanged() {
    TGraphicControl::FontChanged();
    AdjustBounds();
}

void TLabel::AdjustBounds() {
    if (!FAutoSize || IsLoading()) {
        return;
    }
    WindowDc screen(nullptr);
    DcSelection font(screen.get(), Font().Handle());
    SIZE extent{};
    GetTextExtentPoint32A(screen.get(), Caption().data(), static_cast<int>(Caption().size()), &extent);
    // An empty caption still keeps a line's height, so the label can be found and clicked.
    TEXTMETRICA metrics{};
    GetTextMetricsA(screen.get(), &metrics);
    SetBounds(Left(), Top(), extent.cx, metrics.tmHeight);
}

long TLabel::AccessibleRole() const {
    return ROLE_SYSTEM_STATICTEXT;
}

void TLabel::Paint() {
    TCanvas& canvas = *Canvas();
    const RECT all = ClientRect();
    if (!FTransparent) {
        canvas.Brush.Color = Color();
        canvas.Brush.Style = bsSolid;
        canvas.FillRect(all);
    }
    canvas.TextRect(all, Caption(), kTextFormat | AlignmentFormat(FAlignment));
}
