#pragma once
// Colours, fonts, pens, brushes and the canvas that draws with them on a device context.
#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "toolkit/Component.h"
#include "toolkit/Handles.h"

// 0x00BBGGRR, or a system colour reference: clSystemColor | COLOR_xxx.
using TColor = std::uint32_t;
constexpr TColor clSystemColor = 0x80000000u;
constexpr TColor clWindowText = clSystemColor | COLOR_WINDOWTEXT;
constexpr TColor clWindow = clSystemColor | COLOR_WINDOW;
constexpr TColor clBtnFace = clSystemColor | COLOR_BTNFACE;
constexpr TColor clBtnShadow = clSystemColor | COLOR_BTNSHADOW;
constexpr TColor clBtnHighlight = clSystemColor | COLOR_BTNHIGHLIGHT;
constexpr TColor clBtnText = clSystemColor | COLOR_BTNTEXT;
constexpr TColor clBlack = 0x000000;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clLime = 0x00FF00;
constexpr TColor clGreen = 0x008000;

constexpr TColor RgbColor(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    return static_cast<TColor>(r) | (static_cast<TColor>(g) << 8) | (static_cast<TColor>(b) << 16);
}
// Resolves a system colour reference; plain colours pass through.
COLORREF ColorToRGB(TColor color);

enum TFontStyle : unsigned { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };

class TFont : public TObject {
public:
    TFont();
    std::string Name() const { return FName; }
    void SetName(const std::string& value);
    // Negative: character height in pixels, as CreateFont takes it.
    int Height() const { return FHeight; }
    void SetHeight(int value);
    unsigned Style() const { return FStyle; }
    void SetStyle(unsigned value);
    TColor Color() const { return FColor; }
    void SetColor(TColor value);
    BYTE Charset() const { return FCharset; }
    void SetCharset(BYTE value);
    void Assign(const TFont& source);
    bool operator==(const TFont& other) const;

    // Created on first use and again after a change.
    HFONT Handle() const;
    TNotifyEvent OnChange;

private:
    void Changed();

    std::string FName = "MS Sans Serif";
    int FHeight = -11;
    unsigned FStyle = 0;
    TColor FColor = clWindowText;
    BYTE FCharset = DEFAULT_CHARSET;
    mutable UniqueFont FHandle;
};

enum TPenStyle { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear };
enum TPenMode { pmCopy, pmNot, pmXor, pmMerge, pmMask };
enum TBrushStyle { bsSolid, bsClear };

struct TPen {
    TColor Color = clBlack;
    int Width = 1;
    TPenStyle Style = psSolid;
    TPenMode Mode = pmCopy;
};

struct TBrush {
    TColor Color = clWhite;
    TBrushStyle Style = bsSolid;
};

// Draws on a device context it does not own; puts back the DC's own objects when destroyed.
class TCanvas {
public:
    explicit TCanvas(HDC dc);
    ~TCanvas();
    TCanvas(const TCanvas&) = delete;
    TCanvas& operator=(const TCanvas&) = delete;

    HDC Handle() const { return FDc; }
    TPen Pen;
    TBrush Brush;
    TFont Font;

    void MoveTo(int x, int y);
    // The end point itself is not painted.
    void LineTo(int x, int y);
    // Paints every point of the segments except the final point.
    void Polyline(const std::vector<POINT>& points);
    void FillRect(const RECT& rect);
    void FrameRect(const RECT& rect);
    void DrawFocusRect(const RECT& rect);
    void TextOut(int x, int y, const std::string& text);
    // Text clipped to rect, drawn from its top edge; format is DrawText's.
    void TextRect(const RECT& rect, const std::string& text, UINT format);
    SIZE TextExtent(const std::string& text);
    void DrawIcon(int x, int y, HICON icon, int width, int height);

private:
    void RequirePen();
    void RequireBrush();
    void RequireFont();
    void Restore();

    HDC FDc;
    UniquePen FPenHandle;
    UniqueBrush FBrushHandle;
    TPen FPenUsed;
    TBrush FBrushUsed;
    std::unique_ptr<TFont> FFontUsed; // set while FFontSelected
    bool FPenSelected = false;
    bool FBrushSelected = false;
    bool FFontSelected = false;
    HGDIOBJ FOriginalPen = nullptr;
    HGDIOBJ FOriginalBrush = nullptr;
    HGDIOBJ FOriginalFont = nullptr;
};
