#pragma once
// The program's windows, created once at start-up and kept until it ends.
// Windows reach each other through this registry.

class QWidget;

namespace tarvix {

class TForm1;
class TForm2;
class TForm3;
class TForm4;
class TForm6;
class TForm8;
class TForm9;
class TForm11;
class TForm13;
class TForm17;
class TForm19;
class TForm20;
class TForm21;
class TForm22;
class TForm23;
class TForm24;
class TForm27;
class TForm28;

struct TForms {
  TForm1* Form1 = nullptr;
  TForm2* Form2 = nullptr;
  TForm3* Form3 = nullptr;
  TForm4* Form4 = nullptr;
  TForm6* Form6 = nullptr;
  TForm8* Form8 = nullptr;
  TForm9* Form9 = nullptr;
  TForm11* Form11 = nullptr;
  TForm13* Form13 = nullptr;
  TForm17* Form17 = nullptr;
  TForm19* Form19 = nullptr;
  TForm20* Form20 = nullptr;
  TForm21* Form21 = nullptr;
  TForm22* Form22 = nullptr;
  TForm23* Form23 = nullptr;
  TForm24* Form24 = nullptr;
  TForm27* Form27 = nullptr;
  TForm28* Form28 = nullptr;
};

TForms& forms();

// Creates the windows in the program's fixed order (the main window first),
// all hidden; DestroyForms deletes them in reverse order.
void CreateForms();
// Registers the compiled-in pictures and icons; CreateForms calls it.
void InitResources();
void DestroyForms();

// Shows a window in front of the others and activates it; nothing when
// there is no window.
void showWindow(QWidget* window);

}  // namespace tarvix
