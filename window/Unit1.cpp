#include "window/Unit1.h"

#include <algorithm>
#include <string>

#include "reckoning/GregorianDay.h"
#include "reckoning/LoaReckoning.h"
#include "toolkit/Application.h"
#include "toolkit/Seams.h"
#include "window/ResourceIds.h"

TForm1* Form1 = nullptr;

namespace {
constexpr TColor kWindowColor = RgbColor(79, 176, 147);
constexpr TColor kValueColor = RgbColor(0, 255, 0);
constexpr TColor kCaptionColor = RgbColor(0, 128, 0);
constexpr TColor kOuterShadow = RgbColor(114, 81, 65);
constexpr TColor kOuterHighlight = RgbColor(163, 120, 92);
constexpr TColor kRowShadow = RgbColor(128, 64, 64);
constexpr TColor kRowHighlight = RgbColor(87, 41, 40);

// A control's place in its parent's client area.
struct Box {
    int Left;
    int Top;
    int Width;
    int Height;
};

HINSTANCE ResourceInstance() {
    return GetModuleHandleA(nullptr);
}

TGwBorder* Border(TGwBorder* border, const char* name, TWinControl* parent, TColor shadow, TColor highlight) {
    border->Name = name;
    border->SetParent(parent);
    border->SetShadowColor(shadow);
    border->SetHighlightColor(highlight);
    return border;
}

// The seven large labels: one line of fixed size, opaque in the window's colour.
TLabel* RowLabel(TLabel* label, const char* name, TWinControl* parent, Box bounds, TColor color,
                 TAlignment alignment, const char* caption) {
    label->Name = name;
    label->SetParent(parent);
    label->SetAutoSize(false);
    label->SetBounds(bounds.Left, bounds.Top, bounds.Width, bounds.Height);
    TFont& font = label->Font();
    font.SetName("Bookman Old Style");
    font.SetHeight(-27);
    font.SetStyle(fsBold);
    font.SetColor(color);
    font.SetCharset(RUSSIAN_CHARSET);
    label->SetAlignment(alignment);
    label->SetCaption(caption);
    return label;
}

// The converter's small captions, in the window's default font and sized to their text.
TLabel* FieldLabel(TLabel* label, const char* name, TWinControl* parent, int left, int top,
                   const char* caption) {
    label->Name = name;
    label->SetParent(parent);
    label->SetLeft(left);
    label->SetTop(top);
    label->SetCaption(caption);
    return label;
}

TSpinEdit* Field(TSpinEdit* field, const char* name, TWinControl* parent, Box bounds, int maxValue) {
    field->Name = name;
    field->SetParent(parent);
    field->SetBounds(bounds.Left, bounds.Top, bounds.Width, bounds.Height);
    field->SetMaxValue(maxValue);
    field->SetMinValue(1);
    field->SetValue(1);
    return field;
}
} // namespace

TForm1::TForm1(TComponent* AOwner) : TForm(AOwner) {
    const ScopedStartupPhase phase("window description");
    BeginDescription();
    Name = "Form1";
    SetCaption("Brennow Calendar");
    SetClientWidth(322);
    SetClientHeight(267);
    SetColor(kWindowColor);
    SetPosition(poScreenCenter);
    SetVisible(true);
    OnCreate = [this](TObject* Sender) { FormCreate(Sender); };

    GwBorder5 = Border(Describe(new TGwBorder(this)), "GwBorder5", this, kOuterShadow, kOuterHighlight);
    GwBorder5->SetAlign(alClient);
    GwBorder4 = Border(Describe(new TGwBorder(this)), "GwBorder4", this, kRowShadow, kRowHighlight);
    GwBorder4->SetBounds(45, 170, 231, 46);
    GwBorder3 = Border(Describe(new TGwBorder(this)), "GwBorder3", this, kRowShadow, kRowHighlight);
    GwBorder3->SetBounds(45, 120, 231, 46);
    GwBorder2 = Border(Describe(new TGwBorder(this)), "GwBorder2", this, kRowShadow, kRowHighlight);
    GwBorder2->SetBounds(45, 70, 231, 46);
    GwBorder1 = Border(Describe(new TGwBorder(this)), "GwBorder1", this, kRowShadow, kRowHighlight);
    GwBorder1->SetBounds(45, 20, 231, 46);

    lblMonth =
        RowLabel(Describe(new TLabel(this)), "lblMonth", this, {50, 75, 221, 36}, kValueColor, taCenter, "");
    lblLoa = RowLabel(Describe(new TLabel(this)), "lblLoa", this, {165, 125, 106, 36}, kValueColor,
                      taLeftJustify, "");
    Label4 = RowLabel(Describe(new TLabel(this)), "Label4", this, {50, 125, 111, 36}, kCaptionColor,
                      taRightJustify, "Loa:");
    Label2 = RowLabel(Describe(new TLabel(this)), "Label2", this, {50, 175, 111, 36}, kCaptionColor,
                      taRightJustify, "Yeen:");
    lblYeen = RowLabel(Describe(new TLabel(this)), "lblYeen", this, {165, 175, 106, 36}, kValueColor,
                       taLeftJustify, "");
    Label1 = RowLabel(Describe(new TLabel(this)), "Label1", this, {50, 25, 116, 36}, kCaptionColor,
                      taRightJustify, "Re:");
    lblDay = RowLabel(Describe(new TLabel(this)), "lblDay", this, {170, 25, 101, 36}, kValueColor,
                      taLeftJustify, "");

    Image1 = Describe(new TImage(this));
    Image1->Name = "Image1";
    Image1->SetParent(this);
    Image1->SetBounds(285, 5, 32, 32);
    Image1->SetAutoSize(true);
    Image1->LoadPictureFromResource(ResourceInstance(), IDI_HIDEBUTTON, 32);
    Image1->OnClick = [this](TObject* Sender) { Image1Click(Sender); };
    Image1->SetAccessibleName("Hide");

    // Disabled, the group blocks its fields' input but greys nothing.
    GroupBox1 = Describe(new TGroupBox(this));
    GroupBox1->Name = "GroupBox1";
    GroupBox1->SetParent(this);
    GroupBox1->SetBounds(5, 220, 311, 41);
    GroupBox1->SetCaption("GroupBox1");
    // Its caption lies under the converter check box: a screen reader names it after that box.
    GroupBox1->SetAccessibleName("Converter");
    GroupBox1->SetEnabled(false);
    Label3 = FieldLabel(Describe(new TLabel(this)), "Label3", GroupBox1, 10, 17, "Day:");
    Label5 = FieldLabel(Describe(new TLabel(this)), "Label5", GroupBox1, 80, 17, "Month:");
    Label6 = FieldLabel(Describe(new TLabel(this)), "Label6", GroupBox1, 160, 17, "Year:");
    const TNotifyEvent change = [this](TObject* Sender) { SpinEdit1Change(Sender); };
    spnDay = Field(Describe(new TSpinEdit(this)), "spnDay", GroupBox1, {35, 13, 41, 22}, 31);
    spnDay->OnChange = change;
    spnMonth = Field(Describe(new TSpinEdit(this)), "spnMonth", GroupBox1, {114, 13, 41, 22}, 12);
    spnMonth->OnChange = change;
    SpnYear = Field(Describe(new TSpinEdit(this)), "SpnYear", GroupBox1, {184, 13, 61, 22}, 2100);
    SpnYear->OnChange = change;
    // A screen reader reads each caption with what it names: "Re: 17", and the fields as "Day".
    Label1->SetLabelFor(lblDay);
    Label4->SetLabelFor(lblLoa);
    Label2->SetLabelFor(lblYeen);
    Label3->SetLabelFor(spnDay);
    Label5->SetLabelFor(spnMonth);
    Label6->SetLabelFor(SpnYear);

    // Both check boxes stand on the window over the group, so they stay usable while it is
    // disabled; "Converter" hides the group's own caption.
    chk144 = Describe(new TCheckBox(this));
    chk144->Name = "chk144";
    chk144->SetParent(this);
    chk144->SetBounds(260, 235, 46, 17);
    chk144->SetAlignment(taLeftJustify);
    chk144->SetCaption("+144");
    chk144->OnClick = [this](TObject* Sender) { chk144Click(Sender); };
    chkConvert = Describe(new TCheckBox(this));
    chkConvert->Name = "chkConvert";
    chkConvert->SetParent(this);
    chkConvert->SetBounds(10, 220, 66, 13);
    chkConvert->SetCaption("Converter");
    chkConvert->OnClick = [this](TObject* Sender) { chkConvertClick(Sender); };

    Tray = Describe(new TGwTrayIcon(this));
    Tray->Name = "Tray";
    Tray->SetCloseToTray(true);
    Tray->Icon()->LoadFromResource(ResourceInstance(), MAKEINTRESOURCEA(IDI_TRAYCLOCK));

    Timer1 = Describe(new TTimer(this));
    Timer1->Name = "Timer1";
    Timer1->SetInterval(1000);
    Timer1->SetOnTimer([this](TObject* Sender) { SpinEdit1Change(Sender); });

    EndDescription();
}

void TForm1::FormCreate(TObject*) {
    const ScopedStartupPhase phase("first refresh");
    SpinEdit1Change(nullptr);
}

std::uint16_t TForm1::DatePart(const TSpinEdit& field) {
    // Typed text is limited only when the field is left: 70000 in the year must reckon as the
    // field's last year, not as its low 16 bits.
    const int limited = field.ClampValue(field.Value());
    return static_cast<std::uint16_t>(std::clamp(limited, 0, 0xFFFF));
}

void TForm1::SpinEdit1Change(TObject* Sender) {
    // Hidden before its icon is in the tray, the window would be out of reach.
    if (Tag == 0 && Sender != nullptr && Tray->IconShown()) {
        Hide();
        Tag = 1;
    }
    std::uint16_t day = 0;
    std::uint16_t month = 0;
    std::uint16_t year = 0;
    if (chkConvert->Checked()) {
        year = DatePart(*SpnYear);
        month = DatePart(*spnMonth);
        day = DatePart(*spnDay);
    } else {
        const TLocalDate today = Seam::LocalDate();
        year = today.Year;
        month = today.Month;
        day = today.Day;
    }
    const ReckonedDate result = ConvertToReckoning(GregorianDayNumber(day, month, year));
    lblDay->SetCaption(std::to_string(result.dayOfPeriod));
    lblMonth->SetCaption(PeriodNames[result.period - 1]);
    lblLoa->SetCaption(std::to_string(result.loa));
    lblYeen->SetCaption(std::to_string(result.yen));
    Tray->SetHint(FormatHint(result));
}

void TForm1::chkConvertClick(TObject*) {
    const bool converting = chkConvert->Checked();
    GroupBox1->SetEnabled(converting);
    Timer1->SetEnabled(!converting);
    SpinEdit1Change(chkConvert);
}

void TForm1::chk144Click(TObject*) {
    SpnYear->SetIncrement(chk144->Checked() ? 144 : 1);
}

void TForm1::Image1Click(TObject*) {
    Hide();
}
