// The etched border frame, painted by a real form and read back pixel by pixel.
#include <windows.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "components/GwBorder.h"
#include "tests/rig/GuiTest.h"
#include "toolkit/Forms.h"
#include "toolkit/Label.h"

namespace {
const TColor Background = RgbColor(79, 176, 147);
const COLORREF Yellow = RGB(255, 255, 0);
const COLORREF Red = RGB(255, 0, 0);
const COLORREF Blue = RGB(0, 0, 255);

// The snapshot read as letters, for comparing painted frames.
class Snapshot : public WindowSnapshot {
public:
    using WindowSnapshot::WindowSnapshot;

    // The area as rows of letters: S the shadow colour, H the highlight, '.' the background,
    // other colours by the legend, and '?' for anything else.
    std::vector<std::string> Art(RECT area, COLORREF shadow, COLORREF highlight,
                                 const std::map<COLORREF, char>& legend = {}) const {
        std::vector<std::string> rows;
        for (int y = area.top; y < area.bottom; ++y) {
            std::string row;
            for (int x = area.left; x < area.right; ++x) {
                COLORREF c = At(x, y);
                if (c == shadow) {
                    row += 'S';
                } else if (c == highlight) {
                    row += 'H';
                } else if (c == ColorToRGB(Background)) {
                    row += '.';
                } else if (auto it = legend.find(c); it != legend.end()) {
                    row += it->second;
                } else {
                    row += '?';
                }
            }
            rows.push_back(row);
        }
        return rows;
    }
};

std::unique_ptr<TForm> ShowForm(int width, int height) {
    auto form = std::make_unique<TForm>(nullptr);
    form->SetColor(Background);
    form->SetBounds(10, 10, width, height);
    form->Show();
    return form;
}

template <typename T = TGwBorder> T* AddBorder(TForm& form, int left, int top, int width, int height) {
    auto* border = new T(&form);
    border->SetBounds(left, top, width, height);
    border->SetParent(&form);
    return border;
}

bool OnOutline(int x, int y, int left, int top, int right, int bottom) {
    return ((x == left || x == right) && y >= top && y <= bottom) ||
           ((y == top || y == bottom) && x >= left && x <= right);
}

// The etched frame as it should look from outside: the shadow outline (0,0)-(W-2,H-2) over
// the highlight outline (1,1)-(W-1,H-1), inside a margin of background.
std::vector<std::string> EtchedFrameArt(int width, int height, int margin) {
    std::vector<std::string> rows;
    for (int y = -margin; y < height + margin; ++y) {
        std::string row;
        for (int x = -margin; x < width + margin; ++x) {
            if (x >= 0 && y >= 0 && x < width && y < height && OnOutline(x, y, 0, 0, width - 2, height - 2)) {
                row += 'S';
            } else if (x >= 0 && y >= 0 && x < width && y < height &&
                       OnOutline(x, y, 1, 1, width - 1, height - 1)) {
                row += 'H';
            } else {
                row += '.';
            }
        }
        rows.push_back(row);
    }
    return rows;
}

std::vector<std::string> Swapped(std::vector<std::string> rows) {
    for (std::string& row : rows) {
        for (char& c : row) {
            c = c == 'S' ? 'H' : c == 'H' ? 'S' : c;
        }
    }
    return rows;
}

// Adds a margin of background around literal art.
std::vector<std::string> Framed(const std::vector<std::string>& art, int margin) {
    const std::size_t width = art.empty() ? 0 : art.front().size();
    const std::string blank(width + 2 * static_cast<std::size_t>(margin), '.');
    std::vector<std::string> rows(static_cast<std::size_t>(margin), blank);
    for (const std::string& row : art) {
        rows.push_back(std::string(static_cast<std::size_t>(margin), '.') + row +
                       std::string(static_cast<std::size_t>(margin), '.'));
    }
    rows.insert(rows.end(), static_cast<std::size_t>(margin), blank);
    return rows;
}

RECT Around(const TControl& control, int margin) {
    return {control.Left() - margin, control.Top() - margin, control.Left() + control.Width() + margin,
            control.Top() + control.Height() + margin};
}

class CountingBorder : public TGwBorder {
public:
    using TGwBorder::TGwBorder;
    int Paints = 0;

protected:
    void Paint() override {
        ++Paints;
        TGwBorder::Paint();
    }
};

// Leaves the canvas in a state no border should draw with.
class SpoilingBorder : public TGwBorder {
public:
    using TGwBorder::TGwBorder;
    bool SpoilModes = false;

protected:
    void Paint() override {
        Canvas()->Pen.Width = 3;
        if (SpoilModes) {
            Canvas()->Pen.Mode = pmNot;
            Canvas()->Pen.Style = psDot;
            Canvas()->Pen.Color = clWhite;
        }
        TGwBorder::Paint();
    }
};
} // namespace

TEST(GwBorder, ANewBorderIsA50By50LoweredFrameInYellowShadowAndRedHighlight) {
    auto form = ShowForm(80, 80);
    auto* border = new TGwBorder(form.get());
    border->SetLeft(10);
    border->SetTop(10);
    border->SetParent(form.get());

    EXPECT_EQ(border->Width(), 50);
    EXPECT_EQ(border->Height(), 50);
    EXPECT_EQ(border->Shape(), bsFrame);
    EXPECT_EQ(border->Style(), bsLowered);
    EXPECT_EQ(border->ShadowColor(), 0x0000FFFFu);
    EXPECT_EQ(border->HighlightColor(), 0x000000FFu);
    EXPECT_FALSE(border->Opaque());
    EXPECT_EQ(Snapshot(form->Handle()).Art(Around(*border, 2), Yellow, Red), EtchedFrameArt(50, 50, 2));
}

TEST(GwBorder, The231By46RowFrameHasItsOutlinesAndTwoUnpaintedCorners) {
    auto form = ShowForm(322, 100);
    TGwBorder* border = AddBorder(*form, 45, 20, 231, 46);
    Snapshot shot(form->Handle());
    auto at = [&](int x, int y) { return shot.At(45 + x, 20 + y); };

    EXPECT_EQ(at(230, 0), ColorToRGB(Background));
    EXPECT_EQ(at(0, 45), ColorToRGB(Background));
    EXPECT_EQ(at(0, 0), Yellow);
    EXPECT_EQ(at(229, 44), Yellow);
    EXPECT_EQ(at(1, 1), Red);
    EXPECT_EQ(at(230, 45), Red);
    // Where the outlines cross, the shadow drawn second wins.
    EXPECT_EQ(at(229, 1), Yellow);
    EXPECT_EQ(at(1, 44), Yellow);
    EXPECT_EQ(shot.Art(Around(*border, 3), Yellow, Red), EtchedFrameArt(231, 46, 3));
}

TEST(GwBorder, FramesOfEverySizeFromThreeUpShowBothOutlines) {
    auto form = ShowForm(60, 60);
    TGwBorder* border = AddBorder(*form, 5, 5, 3, 3);
    for (int width = 3; width <= 9; ++width) {
        for (int height = 3; height <= 9; ++height) {
            border->SetBounds(5, 5, width, height);
            EXPECT_EQ(Snapshot(form->Handle()).Art(Around(*border, 2), Yellow, Red),
                      EtchedFrameArt(width, height, 2))
                << width << " x " << height;
        }
    }
}

TEST(GwBorder, EveryShapeInBothStyles) {
    struct Case {
        TGwBorderShape Shape;
        std::vector<std::string> Lowered;
    };
    const std::vector<Case> cases = {
        {bsBox, {"SSSSSSH", "S.....H", "S.....H", "S.....H", "SHHHHHH"}},
        {bsFrame, {"SSSSSS.", "SHHHHSH", "SH...SH", "SSSSSSH", ".HHHHHH"}},
        {bsTopLine, {"SSSSSSS", "HHHHHHH", ".......", ".......", "......."}},
        {bsBottomLine, {".......", ".......", ".......", "SSSSSSS", "HHHHHHH"}},
        {bsLeftLine, {"SH.....", "SH.....", "SH.....", "SH.....", "SH....."}},
        {bsRightLine, {".....SH", ".....SH", ".....SH", ".....SH", ".....SH"}},
    };
    auto form = ShowForm(40, 40);
    TGwBorder* border = AddBorder(*form, 10, 10, 7, 5);
    for (const Case& c : cases) {
        border->SetShape(c.Shape);
        border->SetStyle(bsLowered);
        EXPECT_EQ(Snapshot(form->Handle()).Art(Around(*border, 2), Yellow, Red), Framed(c.Lowered, 2))
            << "shape " << static_cast<int>(c.Shape) << " lowered";
        border->SetStyle(bsRaised);
        EXPECT_EQ(Snapshot(form->Handle()).Art(Around(*border, 2), Yellow, Red),
                  Framed(Swapped(c.Lowered), 2))
            << "shape " << static_cast<int>(c.Shape) << " raised";
    }

    for (int notAShape : {6, 255}) {
        border->SetShape(static_cast<TGwBorderShape>(notAShape));
        EXPECT_EQ(Snapshot(form->Handle()).Art(Around(*border, 2), Yellow, Red),
                  Framed(std::vector<std::string>(5, "......."), 2))
            << notAShape;
    }
}

TEST(GwBorder, ColoursMayReferToSystemColours) {
    auto form = ShowForm(40, 40);
    TGwBorder* border = AddBorder(*form, 5, 5, 20, 20);
    border->SetShape(bsBox);
    border->SetShadowColor(clBtnShadow);
    border->SetHighlightColor(RgbColor(0, 0, 255));
    Snapshot shot(form->Handle());
    EXPECT_EQ(shot.At(5, 5), GetSysColor(COLOR_BTNSHADOW));
    EXPECT_EQ(shot.At(5 + 19, 5 + 19), Blue);
}

// Below three pixels the same formulas hold, with GDI's rule that a line to its own start
// paints nothing.
TEST(GwBorder, ControlsBelowThreePixelsUseTheSameFormulas) {
    struct Case {
        TGwBorderShape Shape;
        int Width;
        int Height;
        std::vector<std::string> Lowered;
    };
    const std::vector<Case> cases = {
        {bsFrame, 2, 2, {"..", ".."}},
        {bsFrame, 1, 4, {"S", "S", "S", "H"}},
        {bsFrame, 4, 1, {"SSSH"}},
        {bsFrame, 2, 5, {"S.", "SH", "SH", "SH", ".H"}},
        {bsBox, 1, 1, {"."}},
        {bsBox, 2, 2, {"SH", "SH"}},
        {bsBox, 1, 3, {"H", "H", "S"}},
        {bsBox, 3, 1, {"SHH"}},
        {bsTopLine, 5, 1, {"SSSSS"}},
        {bsBottomLine, 5, 1, {"HHHHH"}},
        {bsLeftLine, 1, 3, {"S", "S", "S"}},
        {bsRightLine, 1, 3, {"H", "H", "H"}},
        {bsRightLine, 2, 2, {"SH", "SH"}},
    };
    auto form = ShowForm(40, 40);
    TGwBorder* border = AddBorder(*form, 10, 10, 1, 1);
    for (const Case& c : cases) {
        border->SetShape(c.Shape);
        border->SetBounds(10, 10, c.Width, c.Height);
        EXPECT_EQ(Snapshot(form->Handle()).Art(Around(*border, 2), Yellow, Red), Framed(c.Lowered, 2))
            << "shape " << static_cast<int>(c.Shape) << ", " << c.Width << " x " << c.Height;
    }
}

TEST(GwBorder, ASizeChangeRepaintsWithNothingOfTheOldLinesLeft) {
    auto form = ShowForm(100, 100);
    TGwBorder* border = AddBorder(*form, 10, 10, 40, 30);
    const RECT area{0, 0, 100, 100};
    auto expected = [&](int width, int height) {
        // The whole client area: the frame at (10, 10) and background everywhere else.
        std::vector<std::string> rows(100, std::string(100, '.'));
        std::vector<std::string> frame = EtchedFrameArt(width, height, 0);
        for (int y = 0; y < height; ++y) {
            rows[static_cast<std::size_t>(10 + y)].replace(10, static_cast<std::size_t>(width),
                                                           frame[static_cast<std::size_t>(y)]);
        }
        return rows;
    };
    ASSERT_EQ(Snapshot(form->Handle()).Art(area, Yellow, Red), expected(40, 30));
    border->SetBounds(10, 10, 25, 20);
    EXPECT_EQ(Snapshot(form->Handle()).Art(area, Yellow, Red), expected(25, 20));
    border->SetBounds(10, 10, 70, 55);
    EXPECT_EQ(Snapshot(form->Handle()).Art(area, Yellow, Red), expected(70, 55));
}

TEST(GwBorder, AClientAlignedBorderFollowsTheFormsSize) {
    auto form = ShowForm(120, 90);
    TGwBorder* border = AddBorder(*form, 0, 0, 10, 10);
    border->SetAlign(alClient);
    EXPECT_EQ(Snapshot(form->Handle()).Art({0, 0, 120, 90}, Yellow, Red), EtchedFrameArt(120, 90, 0));
    form->SetClientWidth(70);
    form->SetClientHeight(50);
    EXPECT_EQ(border->Width(), 70);
    EXPECT_EQ(border->Height(), 50);
    EXPECT_EQ(Snapshot(form->Handle()).Art({0, 0, 70, 50}, Yellow, Red), EtchedFrameArt(70, 50, 0));
}

TEST(GwBorder, OnlyARealChangeRepaintsAndThenOnce) {
    auto form = ShowForm(80, 80);
    auto* border = AddBorder<CountingBorder>(*form, 10, 10, 30, 30);
    UpdateWindow(form->Handle());
    PumpFor(50);
    border->Paints = 0;

    border->SetShape(bsFrame);
    border->SetStyle(bsLowered);
    border->SetShadowColor(0x0000FFFF);
    border->SetHighlightColor(0x000000FF);
    EXPECT_FALSE(GetUpdateRect(form->Handle(), nullptr, FALSE));
    PumpFor(50);
    EXPECT_EQ(border->Paints, 0);

    auto changeRepaintsOnce = [&](const std::function<void()>& change) {
        border->Paints = 0;
        change();
        RECT dirty{};
        EXPECT_TRUE(GetUpdateRect(form->Handle(), &dirty, FALSE));
        EXPECT_EQ(dirty.left, 10);
        EXPECT_EQ(dirty.top, 10);
        EXPECT_EQ(dirty.right, 40);
        EXPECT_EQ(dirty.bottom, 40);
        PumpFor(50);
        EXPECT_EQ(border->Paints, 1);
    };
    changeRepaintsOnce([&] { border->SetShape(bsBox); });
    changeRepaintsOnce([&] { border->SetStyle(bsRaised); });
    changeRepaintsOnce([&] { border->SetShadowColor(RgbColor(0, 0, 255)); });
    changeRepaintsOnce([&] { border->SetHighlightColor(RgbColor(255, 255, 255)); });
    // Raised box: the top-left corner is the highlight.
    EXPECT_EQ(PixelAt(form->Handle(), 10, 10), RGB(255, 255, 255));
    EXPECT_EQ(PixelAt(form->Handle(), 39, 10), Blue);
}

TEST(GwBorder, LabelsCreatedLaterPaintOverItAndEarlierOnesUnderIt) {
    const COLORREF labelColour = RGB(0, 0, 128);
    auto form = ShowForm(100, 60);
    // Frame first, label second: the label covers the frame's top edge where it lies.
    AddBorder(*form, 5, 5, 40, 20);
    auto* over = new TLabel(form.get());
    over->SetAutoSize(false);
    over->SetBounds(15, 3, 10, 6);
    over->SetColor(RgbColor(0, 0, 128));
    over->SetParent(form.get());
    // Label first, frame second: the frame's edge runs across the label.
    auto* under = new TLabel(form.get());
    under->SetAutoSize(false);
    under->SetBounds(65, 3, 10, 6);
    under->SetColor(RgbColor(0, 0, 128));
    under->SetParent(form.get());
    AddBorder(*form, 55, 5, 40, 20);

    const std::map<COLORREF, char> legend{{labelColour, 'L'}};
    Snapshot shot(form->Handle());
    const std::vector<std::string> overArt = shot.Art({13, 3, 27, 9}, Yellow, Red, legend);
    const std::vector<std::string> underArt = shot.Art({63, 3, 77, 9}, Yellow, Red, legend);
    EXPECT_EQ(overArt, (std::vector<std::string>{
                           "..LLLLLLLLLL..",
                           "..LLLLLLLLLL..",
                           "SSLLLLLLLLLLSS",
                           "HHLLLLLLLLLLHH",
                           "..LLLLLLLLLL..",
                           "..LLLLLLLLLL..",
                       }));
    EXPECT_EQ(underArt, (std::vector<std::string>{
                            "..LLLLLLLLLL..",
                            "..LLLLLLLLLL..",
                            "SSSSSSSSSSSSSS",
                            "HHHHHHHHHHHHHH",
                            "..LLLLLLLLLL..",
                            "..LLLLLLLLLL..",
                        }));
}

TEST(GwBorder, DrawsTheSameOntoAnotherSurface) {
    auto form = ShowForm(60, 60);
    TGwBorder* border = AddBorder(*form, 0, 0, 12, 9);
    border->SetShape(bsBox);
    border->SetStyle(bsRaised);
    const std::vector<std::string> onScreen = Snapshot(form->Handle()).Art({0, 0, 12, 9}, Yellow, Red);

    // A second form receives the first one's border through PaintTo.
    auto copy = ShowForm(60, 60);
    {
        WindowDc dc(copy->Handle());
        UpdateWindow(copy->Handle());
        border->PaintTo(dc.get());
    }
    EXPECT_EQ(Snapshot(copy->Handle()).Art({0, 0, 12, 9}, Yellow, Red), onScreen);
}

TEST(GwBorder, DesignStateResetsThePenAndEveryPaintSetsItsWidth) {
    auto form = ShowForm(60, 60);
    auto* border = AddBorder<SpoilingBorder>(*form, 10, 10, 20, 15);
    EXPECT_EQ(Snapshot(form->Handle()).Art(Around(*border, 2), Yellow, Red), EtchedFrameArt(20, 15, 2));

    border->SpoilModes = true;
    border->SetDesigning(true);
    border->Invalidate();
    EXPECT_EQ(Snapshot(form->Handle()).Art(Around(*border, 2), Yellow, Red), EtchedFrameArt(20, 15, 2));
}
