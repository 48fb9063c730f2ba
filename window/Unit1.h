#pragma once
// The calendar window: today's date in the loa reckoning in four framed rows, the converter at
// its foot, the tray icon that stands for it and the one-second timer that refreshes it all.
#include <cstdint>

#include "components/GwBorder.h"
#include "components/GwTrayIcon.h"
#include "toolkit/CheckBox.h"
#include "toolkit/Forms.h"
#include "toolkit/GroupBox.h"
#include "toolkit/Image.h"
#include "toolkit/Label.h"
#include "toolkit/Timer.h"
#include "window/Spin.h"

class TForm1 : public TForm {
public:
    // Creates every component of the window, in painting order, before the create handler runs.
    explicit TForm1(TComponent* AOwner);

    TGwBorder* GwBorder5;
    TGwBorder* GwBorder4;
    TGwBorder* GwBorder3;
    TGwBorder* GwBorder2;
    TGwBorder* GwBorder1;
    TLabel* lblMonth;
    TLabel* lblLoa;
    TLabel* Label4;
    TLabel* Label2;
    TLabel* lblYeen;
    TLabel* Label1;
    TLabel* lblDay;
    TImage* Image1;
    TGroupBox* GroupBox1;
    TLabel* Label3;
    TLabel* Label5;
    TLabel* Label6;
    TSpinEdit* spnDay;
    TSpinEdit* spnMonth;
    TSpinEdit* SpnYear;
    TCheckBox* chk144;
    TCheckBox* chkConvert;
    TGwTrayIcon* Tray;
    TTimer* Timer1;

    void FormCreate(TObject* Sender);
    // The refresh: a date from the clock or the converter fields into the labels and the tip.
    // The first call with a sender hides the window.
    void SpinEdit1Change(TObject* Sender);
    void chkConvertClick(TObject* Sender);
    void chk144Click(TObject* Sender);
    void Image1Click(TObject* Sender);

private:
    // A converter field's number, limited to the field before it is narrowed to 16 bits.
    static std::uint16_t DatePart(const TSpinEdit& field);
};

extern TForm1* Form1;
