#pragma once
// The settings of the print window ("Parametry wydruku") that the HTML copy
// of an e-filing export shares: one instance for the program's lifetime,
// not stored. The print window writes them; printing and the copy read them.
namespace pit::render {

struct PrintOptions {
  int range = 0;           // ZakresDruku 0..3
  bool coloured = true;    // RBWydrukKolor / RBWydrukBlack
  int sizeCorrection = 0;  // UpDownRozmDruku, -50..50
  int top = 0;             // UpDownMG, -100..100
  int left = 0;            // UpDownML, -100..100
  int dx = 0;              // UpDownDx, -100..100
  int dy = 0;              // UpDownDy, -100..100
  int content = 1;         // ZawDruk: 0 the form only, 1 data and form
};

// The program's one set of print options.
PrintOptions& SharedPrintOptions();

}  // namespace pit::render
