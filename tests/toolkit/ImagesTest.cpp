// Icons, the image list and bitmaps, loaded from this test's own resources.
#include <windows.h>

#include <climits>

#include <gtest/gtest.h>

#include "tests/toolkit/TestCanvas.h"
#include "toolkit/Bitmap.h"
#include "toolkit/Exception.h"
#include "toolkit/Icon.h"
#include "toolkit/Image.h"
#include "toolkit/ImageList.h"

namespace {
const COLORREF Red = RGB(255, 0, 0);
const COLORREF Blue = RGB(0, 0, 255);
const COLORREF Green = RGB(0, 255, 0);
const COLORREF White = RGB(255, 255, 255);
const COLORREF Black = RGB(0, 0, 0);
const COLORREF Olive = RGB(128, 128, 0);
const COLORREF Yellow = RGB(255, 255, 0);
const COLORREF Grey = RGB(200, 200, 200);

// TWOSIZES again, under a number.
constexpr int TwoSizesId = 7;

HINSTANCE Self() {
    return GetModuleHandleA(nullptr);
}

bool IconAlive(HICON icon) {
    ICONINFO info{};
    if (!GetIconInfo(icon, &info)) {
        return false;
    }
    UniqueBitmap colour(info.hbmColor);
    UniqueBitmap mask(info.hbmMask);
    return true;
}

// Draws the icon at its own size on white and reads (x, y).
COLORREF IconPixel(HICON icon, int x, int y) {
    TestCanvas canvas(40, 40, White);
    DrawIconEx(canvas.Dc(), 0, 0, icon, 0, 0, 0, nullptr, DI_NORMAL);
    return canvas.Pixel(x, y);
}

// The test icon: 32x32 red with a transparent 8x8 top-left corner, and 16x16 blue.
void ExpectTestIcon(const TIcon& icon) {
    ASSERT_FALSE(icon.Empty());
    EXPECT_EQ(IconImageSize(icon.Handle()).cx, 32);
    EXPECT_EQ(IconImageSize(icon.Handle()).cy, 32);
    EXPECT_EQ(IconPixel(icon.Handle(), 20, 20), Red);
    EXPECT_EQ(IconPixel(icon.Handle(), 2, 2), White);
    EXPECT_EQ(IconImageSize(icon.SmallHandle()).cx, 16);
    EXPECT_EQ(IconPixel(icon.SmallHandle(), 8, 8), Blue);
}
} // namespace

TEST(Icon, LoadsBothSizesOfAResource) {
    TIcon icon;
    EXPECT_TRUE(icon.Empty());
    EXPECT_EQ(icon.Handle(), nullptr);
    EXPECT_EQ(icon.SmallHandle(), nullptr);
    icon.LoadFromResource(Self(), "TWOSIZES");
    ExpectTestIcon(icon);
    EXPECT_NE(icon.Handle(), icon.SmallHandle());
}

TEST(Icon, AFailedLoadThrowsAndKeepsTheImages) {
    TIcon icon;
    icon.LoadFromResource(Self(), "TWOSIZES");
    HICON before = icon.Handle();
    EXPECT_THROW(icon.LoadFromResource(Self(), "NOSUCHICON"), Exception);
    EXPECT_EQ(icon.Handle(), before);
    ExpectTestIcon(icon);
}

TEST(Icon, AssignMakesCopiesThatOutliveTheSource) {
    TIcon copy;
    {
        TIcon source;
        source.LoadFromResource(Self(), "TWOSIZES");
        copy.Assign(&source);
        EXPECT_NE(copy.Handle(), source.Handle());
        EXPECT_NE(copy.SmallHandle(), source.SmallHandle());
    }
    ExpectTestIcon(copy);

    copy.Assign(&copy);
    ExpectTestIcon(copy);

    TIcon empty;
    copy.Assign(&empty);
    EXPECT_TRUE(copy.Empty());

    copy.LoadFromResource(Self(), "TWOSIZES");
    copy.Assign(nullptr);
    EXPECT_TRUE(copy.Empty());
}

TEST(Icon, SetHandlesOwnsThemAndFallsBackBetweenSizes) {
    TIcon source;
    source.LoadFromResource(Self(), "TWOSIZES");
    HICON large = CopyIcon(source.Handle());
    HICON small = CopyIcon(source.SmallHandle());

    TIcon icon;
    icon.SetHandles(large, nullptr);
    EXPECT_EQ(icon.Handle(), large);
    EXPECT_EQ(icon.SmallHandle(), large);

    // Handing back what it holds must not destroy it.
    icon.SetHandles(large, small);
    EXPECT_TRUE(IconAlive(large));
    EXPECT_EQ(icon.Handle(), large);
    EXPECT_EQ(icon.SmallHandle(), small);

    icon.SetHandles(nullptr, small);
    EXPECT_FALSE(IconAlive(large));
    EXPECT_EQ(icon.Handle(), small);
    EXPECT_FALSE(icon.Empty());

    icon.Clear();
    EXPECT_TRUE(icon.Empty());
    EXPECT_FALSE(IconAlive(small));
}

TEST(ImageList, HoldsCopiesInOrderAndNeverReadsOutsideThem) {
    TImageList list(nullptr);
    EXPECT_EQ(list.Width(), 16);
    EXPECT_EQ(list.Height(), 16);
    EXPECT_EQ(list.Count(), 0);

    {
        TIcon both;
        both.LoadFromResource(Self(), "TWOSIZES");
        TIcon blueOnly;
        blueOnly.SetHandles(CopyIcon(both.SmallHandle()), nullptr);
        list.AddIcon(both);
        list.AddIcon(blueOnly);
    }
    ASSERT_EQ(list.Count(), 2);

    TIcon out;
    list.GetIcon(0, out);
    ExpectTestIcon(out);
    list.GetIcon(1, out);
    EXPECT_EQ(IconImageSize(out.Handle()).cx, 16);
    EXPECT_EQ(IconPixel(out.Handle(), 8, 8), Blue);

    // Each answer is a copy of its own: clearing it leaves the list intact.
    TIcon again;
    list.GetIcon(1, again);
    EXPECT_NE(again.Handle(), out.Handle());
    out.Clear();
    EXPECT_EQ(IconPixel(again.Handle(), 8, 8), Blue);

    for (int index : {-1, 2, 3, INT_MAX, INT_MIN}) {
        list.GetIcon(0, out);
        list.GetIcon(index, out);
        EXPECT_TRUE(out.Empty()) << index;
    }

    EXPECT_THROW(list.AddIcon(TIcon()), Exception);
    EXPECT_EQ(list.Count(), 2);

    list.Clear();
    EXPECT_EQ(list.Count(), 0);
    list.GetIcon(0, again);
    EXPECT_TRUE(again.Empty());
}

TEST(Bitmap, LoadsAResourceAndReadsItsPixels) {
    TBitmap bitmap;
    EXPECT_TRUE(bitmap.Empty());
    EXPECT_EQ(bitmap.PixelAt(0, 0), CLR_INVALID);
    EXPECT_EQ(bitmap.Width(), 0);

    bitmap.LoadFromResourceName(Self(), "PATTERN");
    ASSERT_FALSE(bitmap.Empty());
    EXPECT_EQ(bitmap.Width(), 4);
    EXPECT_EQ(bitmap.Height(), 3);
    const COLORREF expected[3][4] = {
        {Red, Green, Blue, White}, {Olive, Black, Olive, Yellow}, {Olive, Yellow, Olive, Olive}};
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 4; ++x) {
            EXPECT_EQ(bitmap.PixelAt(x, y), expected[y][x]) << x << "," << y;
        }
    }
    EXPECT_EQ(bitmap.PixelAt(4, 0), CLR_INVALID);
    EXPECT_EQ(bitmap.PixelAt(0, -1), CLR_INVALID);

    HBITMAP before = bitmap.Handle();
    EXPECT_THROW(bitmap.LoadFromResourceName(Self(), "NOSUCHBITMAP"), Exception);
    EXPECT_EQ(bitmap.Handle(), before);
}

TEST(Bitmap, AssignMakesAnIndependentCopy) {
    TBitmap copy;
    {
        TBitmap source;
        source.LoadFromResourceName(Self(), "PATTERN");
        copy.Assign(&source);
        ASSERT_FALSE(copy.Empty());
        EXPECT_NE(copy.Handle(), source.Handle());

        // Paint on the copy; the source keeps its pixel.
        UniqueMemoryDc dc(CreateCompatibleDC(nullptr));
        {
            DcSelection selected(dc.get(), copy.Handle());
            SetPixel(dc.get(), 0, 0, Green);
        }
        EXPECT_EQ(copy.PixelAt(0, 0), Green);
        EXPECT_EQ(source.PixelAt(0, 0), Red);
    }
    EXPECT_EQ(copy.Width(), 4);
    EXPECT_EQ(copy.PixelAt(3, 1), Yellow);

    copy.Assign(&copy);
    EXPECT_EQ(copy.PixelAt(3, 1), Yellow);
    copy.Assign(nullptr);
    EXPECT_TRUE(copy.Empty());
}

TEST(Bitmap, SetHandleOwnsTheBitmap) {
    HBITMAP first = CreateBitmap(2, 2, 1, 1, nullptr);
    HBITMAP second = CreateBitmap(3, 1, 1, 1, nullptr);
    BITMAP bm{};
    {
        TBitmap bitmap;
        bitmap.SetHandle(first);
        EXPECT_EQ(bitmap.Width(), 2);
        bitmap.SetHandle(first);
        EXPECT_NE(GetObjectA(first, sizeof(bm), &bm), 0);
        bitmap.SetHandle(second);
        EXPECT_EQ(GetObjectA(first, sizeof(bm), &bm), 0);
        EXPECT_EQ(bitmap.Width(), 3);
        EXPECT_EQ(bitmap.Height(), 1);
    }
    EXPECT_EQ(GetObjectA(second, sizeof(bm), &bm), 0);
}

TEST(Bitmap, DrawTransparentLeavesTheTransparentColourUnpainted) {
    TBitmap bitmap;
    bitmap.LoadFromResourceName(Self(), "PATTERN");
    ASSERT_EQ(bitmap.PixelAt(0, bitmap.Height() - 1), Olive);

    {
        TestCanvas canvas(10, 10, Grey);
        bitmap.DrawTransparent(canvas.Dc(), 5, 5, RECT{0, 0, 4, 3}, Olive);
        EXPECT_EQ(canvas.Pixel(5, 5), Red);
        EXPECT_EQ(canvas.Pixel(6, 6), Black);
        EXPECT_EQ(canvas.Pixel(8, 6), Yellow);
        EXPECT_EQ(canvas.Pixel(5, 6), Grey);
        EXPECT_EQ(canvas.Pixel(7, 7), Grey);
        EXPECT_EQ(canvas.Pixel(4, 5), Grey);
        EXPECT_EQ(canvas.Pixel(9, 5), Grey);
    }
    {
        // A source that sticks out of the image draws the part inside it, in place.
        TestCanvas canvas(10, 4, Grey);
        bitmap.DrawTransparent(canvas.Dc(), 0, 0, RECT{2, 0, 10, 3}, Olive);
        EXPECT_EQ(canvas.Pixel(0, 0), Blue);
        EXPECT_EQ(canvas.Pixel(1, 0), White);
        EXPECT_EQ(canvas.Pixel(1, 1), Yellow);
        EXPECT_EQ(canvas.Pixel(2, 0), Grey);
    }
}

TEST(Image, APictureFromAResourceIsItsImageNearestTheScaledSize) {
    TImage image(nullptr);
    image.SetAutoSize(true);
    image.LoadPictureFromResource(Self(), TwoSizesId, 16);
    EXPECT_EQ(image.Width(), 16);
    EXPECT_EQ(IconPixel(image.Picture().Handle(), 8, 8), Blue);

    // 16 scaled by 20/13 is 25, nearer 32 than 16: the 32 px image as drawn, not the small one
    // stretched, and the control takes its size.
    image.ChangeScale(20, 13);
    EXPECT_EQ(image.Width(), 32);
    EXPECT_EQ(image.Height(), 32);
    EXPECT_EQ(IconPixel(image.Picture().Handle(), 20, 20), Red);
    EXPECT_EQ(IconPixel(image.Picture().Handle(), 2, 2), White);

    image.ChangeScale(1, 2);
    EXPECT_EQ(image.Width(), 16);
    EXPECT_EQ(IconPixel(image.Picture().Handle(), 8, 8), Blue);

    EXPECT_EQ(NearestIconSize(Self(), MAKEINTRESOURCEA(TwoSizesId), 24), 32);
    EXPECT_EQ(NearestIconSize(Self(), "NOSUCHICON", 24), 0);
    EXPECT_THROW(image.LoadPictureFromResource(Self(), 99, 16), Exception);
    EXPECT_EQ(image.Width(), 16);
}
