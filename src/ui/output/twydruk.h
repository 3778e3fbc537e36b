#pragma once
// The print window "Parametry wydruku": what to print (the page shown, the
// form, the return with its attachments, the whole settlement), with or
// without the coloured background, the size correction, margins, the shift
// of the written data and whether the data are printed at all. "Drukuj"
// asks the system's print dialog for the printer (or a PDF file) and prints.
//
// The options are the program's (render::SharedPrintOptions): the HTML copy
// reads the same size, margins and shift, and they keep their values while
// the program runs.
#include <QDialog>
#include <QString>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "forms/field_object.h"
#include "print_options.h"
#include "printed_page.h"

class QButtonGroup;
class QGroupBox;
class QPagedPaintDevice;
class QPrinter;
class QPushButton;
class QRadioButton;
class QSpinBox;

namespace pit::ui {

struct AppContext;

// What printing needs of the program around it, besides the settlement.
// The print window knows no other window: whoever makes it says how the
// form window takes part.
struct PrintHooks {
  // The value being typed in the form window committed, before anything is
  // calculated for printing: what the user sees typed is printed.
  std::function<void()> commitTyping;
  // After the settlement was brought up to date for printing: the form on
  // screen shown again with the values that changed behind it (`calculated`:
  // every calculation went through; else it is only drawn again, so that a
  // failure is not told twice).
  std::function<void(bool calculated)> showPrepared;
};

// Where print jobs go. The printer chosen in the print dialog takes one job
// per form; a PDF file takes all forms in one job, since a second job would
// overwrite the file.
class PrintTarget {
 public:
  virtual ~PrintTarget() = default;
  // The device of a new job titled `title`; nullptr when none can start.
  virtual QPagedPaintDevice* BeginJob(const QString& title) = 0;
  // Whether every form goes into a single job.
  virtual bool SingleJob() const = 0;
};

class TWydruk : public QDialog {
  Q_OBJECT

 public:
  TWydruk(AppContext& ctx, PrintHooks hooks, QWidget* parent = nullptr);
  ~TWydruk() override;

  // The system's print dialog; false when the user cancelled. Tests answer
  // it; unset, the system's dialog is shown.
  using PrintDialog = std::function<bool(QPrinter& printer)>;
  void SetPrintDialog(PrintDialog dialog) { printDialog_ = std::move(dialog); }
  // Where the jobs go once the dialog has chosen the printer. Unset: the
  // printer itself.
  using TargetFactory = std::function<std::unique_ptr<PrintTarget>(QPrinter& printer)>;
  void SetTargetFactory(TargetFactory factory) { targetFactory_ = std::move(factory); }

  // The options as the controls show them.
  render::PrintOptions Options() const;

  // --- controls (names as the users' manual calls them) -----------------------
  QGroupBox* ZakresDruku = nullptr;
  QButtonGroup* zakres = nullptr;  // ids 0..3
  QRadioButton* RBWydrukKolor = nullptr;
  QRadioButton* RBWydrukBlack = nullptr;
  QSpinBox* UpDownRozmDruku = nullptr;
  QSpinBox* UpDownMG = nullptr;
  QSpinBox* UpDownML = nullptr;
  QGroupBox* GroupPrzesText = nullptr;
  QSpinBox* UpDownDx = nullptr;
  QSpinBox* UpDownDy = nullptr;
  QGroupBox* ZawDruk = nullptr;
  QButtonGroup* zawartosc = nullptr;  // ids 0..1
  QPushButton* Drukuj = nullptr;
  QPushButton* Anuluj = nullptr;
  QPushButton* UstawieniaDrukarki = nullptr;  // "Ustawtenia drukarki", hidden

 public slots:
  void DrukujClick();
  void ZawDrukClick();

 protected:
  void showEvent(QShowEvent* e) override;

 private:
  void Build();
  // Keeps the program's options in step with the controls.
  void Store();
  // Entry `number` as the form window would show it, ready to print: only
  // the page shown when `currentPage`, else all pages. False: nothing to
  // print.
  bool Prepare(int number, bool currentPage, render::FormToPrint& form);

  AppContext& ctx_;
  PrintHooks hooks_;
  PrintDialog printDialog_;
  TargetFactory targetFactory_;
};

}  // namespace pit::ui
