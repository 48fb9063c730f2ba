#include "toolkit/Graphics.h"

#include <memory>

COLORREF ColorToRGB(TColor color) {
    if ((color & clSystemColor) != 0) {
        return GetSysColor(static_cast<int>(color & 0xFFu));
    }
    return color & 0x00FFFFFFu;
}

TFont::TFont() = default;

void TFont::SetName(const std::string& value) {
    if (value != FName) {
        FName = value;
        Changed();
    }
}
void TFont::SetHeight(int value) {
    if (value != FHeight) {
        FHeight = value;
        Changed();
    }
}
void TFont::SetStyle(unsigned value) {
    if (value != FStyle) {
        FStyle = value;
        Changed();
    }
}
void TFont::SetColor(TColor value) {
    if (value != FColor) {
        FColor = value;
        Changed();
    }
}
void TFont::SetCharset(BYTE value) {
    if (value != FCharset) {
        FCharset = value;
        Changed();
    }
}

void TFont::Assign(const TFont& source) {
    if (source == *this) {
        return;
    }
    FName = source.FName;
    FHeight = source.FHeight;
    FStyle = source.FStyle;
    FColor = source.FColor;
    FCharset = source.FCharset;
    Changed();
}

bool TFont::operator==(const TFont& other) const {
    return FName == other.FName && FHeight == other.FHeight && FStyle == other.FStyle &&
           FColor == other.FColor && FCharset == other.FCharset;
}

HFONT TFont::Handle() const {
    if (!FHandle) {
        FHandle.reset(CreateFontA(
            FHeight, 0, 0, 0, (FStyle & fsBold) != 0 ? FW_BOLD : FW_NORMAL, (FStyle & fsItalic) != 0,
            (FStyle & fsUnderline) != 0, (FStyle & fsStrikeOut) != 0, FCharset, OUT_DEFAULT_PRECIS,
            CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, FName.c_str()));
    }
    return FHandle.get();
}

void TFont::Changed() {
    FHandle.reset();
    if (OnChange) {
        OnChange(this);
    }
}

namespace {
int PenStyleOf(TPenStyle style) {
    switch (style) {
    case psDash:
        return PS_DASH;
    case psDot:
        return PS_DOT;
    case psDashDot:
        return PS_DASHDOT;
    case psDashDotDot:
        return PS_DASHDOTDOT;
    case psClear:
        return PS_NULL;
    case psSolid:
        break;
    }
    return PS_SOLID;
}

int RopOf(TPenMode mode) {
    switch (mode) {
    case pmNot:
        return R2_NOT;
    case pmXor:
        return R2_XORPEN;
    case pmMerge:
        return R2_MERGEPEN;
    case pmMask:
        return R2_MASKPEN;
    case pmCopy:
        break;
    }
    return R2_COPYPEN;
}
} // namespace

TCanvas::TCanvas(HDC dc) : FDc(dc) {}

TCanvas::~TCanvas() {
    Restore();
}

void TCanvas::Restore() {
    if (FPenSelected) {
        SelectObject(FDc, FOriginalPen);
    }
    if (FBrushSelected) {
        SelectObject(FDc, FOriginalBrush);
    }
    if (FFontSelected) {
        SelectObject(FDc, FOriginalFont);
    }
    FPenSelected = FBrushSelected = FFontSelected = false;
}

void TCanvas::RequirePen() {
    bool same = FPenSelected && Pen.Color == FPenUsed.Color && Pen.Width == FPenUsed.Width &&
                Pen.Style == FPenUsed.Style;
    if (!same) {
        UniquePen pen(CreatePen(PenStyleOf(Pen.Style), Pen.Width, ColorToRGB(Pen.Color)));
        HGDIOBJ old = SelectObject(FDc, pen.get());
        if (!FPenSelected) {
            FOriginalPen = old;
            FPenSelected = true;
        }
        FPenHandle = std::move(pen);
        FPenUsed = Pen;
    }
    SetROP2(FDc, RopOf(Pen.Mode));
}

void TCanvas::RequireBrush() {
    bool same = FBrushSelected && Brush.Color == FBrushUsed.Color && Brush.Style == FBrushUsed.Style;
    if (same) {
        return;
    }
    UniqueBrush brush(Brush.Style == bsClear ? nullptr : CreateSolidBrush(ColorToRGB(Brush.Color)));
    HGDIOBJ old = SelectObject(FDc, brush ? static_cast<HGDIOBJ>(brush.get()) : GetStockObject(NULL_BRUSH));
    if (!FBrushSelected) {
        FOriginalBrush = old;
        FBrushSelected = true;
    }
    FBrushHandle = std::move(brush);
    FBrushUsed = Brush;
}

void TCanvas::RequireFont() {
    if (!FFontSelected || !(Font == *FFontUsed)) {
        auto font = std::make_unique<TFont>();
        font->Assign(Font);
        HGDIOBJ old = SelectObject(FDc, font->Handle());
        if (!FFontSelected) {
            FOriginalFont = old;
            FFontSelected = true;
        }
        // The font used so far is deleted only now that it is no longer selected.
        FFontUsed = std::move(font);
    }
    SetTextColor(FDc, ColorToRGB(Font.Color()));
}

void TCanvas::MoveTo(int x, int y) {
    MoveToEx(FDc, x, y, nullptr);
}

void TCanvas::LineTo(int x, int y) {
    RequirePen();
    ::LineTo(FDc, x, y);
}

void TCanvas::Polyline(const std::vector<POINT>& points) {
    if (points.empty()) {
        return;
    }
    RequirePen();
    ::Polyline(FDc, points.data(), static_cast<int>(points.size()));
}

void TCanvas::FillRect(const RECT& rect) {
    if (Brush.Style == bsClear) {
        return;
    }
    UniqueBrush brush(CreateSolidBrush(ColorToRGB(Brush.Color)));
    ::FillRect(FDc, &rect, brush.get());
}

void TCanvas::FrameRect(const RECT& rect) {
    UniqueBrush brush(CreateSolidBrush(ColorToRGB(Brush.Color)));
    ::FrameRect(FDc, &rect, brush.get());
}

void TCanvas::DrawFocusRect(const RECT& rect) {
    // DrawFocusRect XORs with the text colours; keep them defined.
    SetTextColor(FDc, RGB(0, 0, 0));
    SetBkColor(FDc, RGB(255, 255, 255));
    ::DrawFocusRect(FDc, &rect);
}

void TCanvas::TextOut(int x, int y, const std::string& text) {
    RequireFont();
    if (Brush.Style == bsClear) {
        SetBkMode(FDc, TRANSPARENT);
    } else {
        SetBkMode(FDc, OPAQUE);
        SetBkColor(FDc, ColorToRGB(Brush.Color));
    }
    ::TextOutA(FDc, x, y, text.data(), static_cast<int>(text.size()));
}

void TCanvas::TextRect(const RECT& rect, const std::string& text, UINT format) {
    RequireFont();
    SetBkMode(FDc, TRANSPARENT);
    RECT r = rect;
    ::DrawTextA(FDc, text.data(), static_cast<int>(text.size()), &r, format);
}

SIZE TCanvas::TextExtent(const std::string& text) {
    RequireFont();
    SIZE size{};
    GetTextExtentPoint32A(FDc, text.data(), static_cast<int>(text.size()), &size);
    return size;
}

void TCanvas::DrawIcon(int x, int y, HICON icon, int width, int height) {
    if (icon != nullptr) {
        DrawIconEx(FDc, x, y, icon, width, height, 0, nullptr, DI_NORMAL);
    }
}
